#include "core/storage/AccountStore.h"

#include "core/errors/AppError.h"
#include "core/text/TextChecks.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// An empty text is stored as an empty column, not as "".
QVariant textValue(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

void bindRecord(QSqlQuery& q, const AccountRecord& r)
{
    q.bindValue(u":Radif"_s, r.radif.isNull() ? QVariant(QMetaType::fromType<int>()) : r.radif);
    q.bindValue(u":BankName"_s, textValue(r.bankName));
    q.bindValue(u":BankBranchName"_s, textValue(r.bankBranchName));
    q.bindValue(u":BankBranchCode"_s, textValue(r.bankBranchCode));
    q.bindValue(u":AccountName"_s, textValue(r.accountName));
    q.bindValue(u":AccountNo"_s, textValue(r.accountNo));
}

} // namespace

int AccountTextLimit(AccountField field)
{
    switch (field) {
    case AccountField::BankName:
    case AccountField::BankBranchName:
    case AccountField::AccountName:
        return 100;
    case AccountField::BankBranchCode:
    case AccountField::AccountNo:
        return 50;
    case AccountField::Radif:
        break;
    }
    return 0;
}

std::optional<AccountInputError> CheckAccountInput(const AccountTexts& typed)
{
    if (IsBlankText(textOf(typed, AccountField::BankName)))
        return AccountInputError{u"نام بانك را وارد كنيد"_s, AccountField::BankName};
    // A Persian keyboard types ۱۲ for 12.
    const QString radif = ToLatinDigits(textOf(typed, AccountField::Radif));
    if (!IsBlankText(radif) && !IsNumberText(radif))
        return AccountInputError{u"ترتيب نمايش صحيح نيست"_s, AccountField::Radif};
    return std::nullopt;
}

QVariant RadifFromText(const QString& typed)
{
    const QString text = ToLatinDigits(typed);
    if (text.isEmpty())
        return {};
    bool ok =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int value = ok ? text.toInt(&ok) : 0;
    if (!ok)
        throw ConversionError(u"'%1' is not a valid integer value"_s.arg(text));
    return value;
}

QString RadifToText(const QVariant& radif)
{
    return radif.isNull() ? QString() : radif.toString();
}

AccountRecord AccountFromTexts(const AccountTexts& typed)
{
    AccountRecord r;
    r.bankName = TrimBlanks(textOf(typed, AccountField::BankName));
    r.bankBranchName = TrimBlanks(textOf(typed, AccountField::BankBranchName));
    r.bankBranchCode = TrimBlanks(textOf(typed, AccountField::BankBranchCode));
    r.accountName = TrimBlanks(textOf(typed, AccountField::AccountName));
    r.accountNo = TrimBlanks(textOf(typed, AccountField::AccountNo));
    r.radif = RadifFromText(TrimBlanks(textOf(typed, AccountField::Radif)));
    return r;
}

AccountTexts TextsOfAccount(const AccountRecord& r)
{
    AccountTexts t;
    textOf(t, AccountField::BankName) = r.bankName;
    textOf(t, AccountField::BankBranchName) = r.bankBranchName;
    textOf(t, AccountField::BankBranchCode) = r.bankBranchCode;
    textOf(t, AccountField::AccountName) = r.accountName;
    textOf(t, AccountField::AccountNo) = r.accountNo;
    textOf(t, AccountField::Radif) = RadifToText(r.radif);
    return t;
}

const std::optional<AccountRecord>& AccountStore::open(int id)
{
    current_.reset();
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(kAccountByIdStatement))
        throw AppError(q.lastError().text().trimmed());
    q.bindValue(u":InId"_s, id);
    if (!q.exec())
        throw AppError(q.lastError().text().trimmed());
    if (q.next()) {
        AccountRecord r;
        r.id = q.value(u"Id"_s).toInt();
        r.radif = q.value(u"Radif"_s);
        r.bankName = q.value(u"BankName"_s).toString();
        r.bankBranchName = q.value(u"BankBranchName"_s).toString();
        r.bankBranchCode = q.value(u"BankBranchCode"_s).toString();
        r.accountName = q.value(u"AccountName"_s).toString();
        r.accountNo = q.value(u"AccountNo"_s).toString();
        current_ = r;
    }
    return current_;
}

bool AccountStore::store(const AccountRecord& record, bool adding)
{
    lastError_.clear();
    const bool insert = adding || !current_;
    QSqlQuery q(db_);
    const QString sql =
        insert ? u"insert into tblAccountMst"
                 " (Radif, BankName, BankBranchName, BankBranchCode, AccountName, AccountNo)"
                 " values (:Radif, :BankName, :BankBranchName, :BankBranchCode, :AccountName,"
                 " :AccountNo)"_s
               : u"update tblAccountMst set Radif = :Radif, BankName = :BankName,"
                 " BankBranchName = :BankBranchName, BankBranchCode = :BankBranchCode,"
                 " AccountName = :AccountName, AccountNo = :AccountNo where Id = :Id"_s;
    if (!q.prepare(sql)) {
        lastError_ = q.lastError().text();
        return false;
    }
    bindRecord(q, record);
    if (!insert)
        q.bindValue(u":Id"_s, current_->id);
    if (!q.exec()) {
        lastError_ = q.lastError().text();
        return false;
    }
    // The loaded row may have gone meanwhile; an update that changed nothing stored nothing.
    if (!insert && q.numRowsAffected() < 1) {
        lastError_ = u"account %1 no longer exists"_s.arg(current_->id);
        return false;
    }
    AccountRecord stored = record;
    stored.id = insert ? q.lastInsertId().toInt() : current_->id;
    current_ = stored;
    return true;
}
