#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <array>
#include <optional>

// The account table tblAccountMst: its statements, the editor's input rules and the data
// set the editor writes through. No windows here.

inline const QString kAccountByIdStatement =
    QStringLiteral("select * from tblAccountMst where Id = :InId");
// Every list of accounts (the designer's grid, the account list) runs this text as it is.
inline const QString kAccountListStatement =
    QStringLiteral("select * from tblAccountMst\norder by Radif");

// The editor's fields, in tab order.
enum class AccountField { BankName, BankBranchName, BankBranchCode, AccountName, AccountNo, Radif };
inline constexpr int kAccountFieldCount = 6;

// How many characters the column behind a field holds (0: not a text column).
int AccountTextLimit(AccountField field);

// The six texts as typed, indexed by AccountField.
using AccountTexts = std::array<QString, kAccountFieldCount>;

inline QString& textOf(AccountTexts& texts, AccountField field)
{
    return texts[static_cast<int>(field)];
}
inline const QString& textOf(const AccountTexts& texts, AccountField field)
{
    return texts[static_cast<int>(field)];
}

struct AccountInputError
{
    QString message;
    AccountField field;
};

// The save rules that refuse input: a blank bank title; a display order that is not blank
// and, untrimmed, holds anything but digits and full stops.
std::optional<AccountInputError> CheckAccountInput(const AccountTexts& typed);

// One row of tblAccountMst. An empty text is stored as an empty (null) column; radif is
// null or a whole number.
struct AccountRecord
{
    int id = 0;
    QVariant radif;
    QString bankName;
    QString bankBranchName;
    QString bankBranchCode;
    QString accountName;
    QString accountNo;
};

// The display order column holds 32-bit whole numbers: an empty text is null, anything else
// must be one, or ConversionError "'<text>' is not a valid integer value" is thrown.
QVariant RadifFromText(const QString& text);
QString RadifToText(const QVariant& radif);

// The row the typed texts make, every text trimmed. Throws ConversionError for a display
// order the column cannot hold.
AccountRecord AccountFromTexts(const AccountTexts& typed);
// The texts a row shows in the editor's fields.
AccountTexts TextsOfAccount(const AccountRecord& record);

// The editor's data set: the row of one account, loaded by Id, and the one place where
// accounts are written. Each write is one statement, so a refused write stores nothing.
class AccountStore final
{
public:
    explicit AccountStore(QSqlDatabase db) : db_(std::move(db)) {}

    // Runs the by-Id statement; the row, or nullopt when there is none (Id 0 finds none).
    // A database error is thrown as AppError.
    const std::optional<AccountRecord>& open(int id);
    const std::optional<AccountRecord>& current() const { return current_; }

    // Stores the record: a new row when adding or when no row is loaded, otherwise the
    // loaded row in place. On success the stored row becomes the current one (with its new
    // Id after an insert). False when the database refuses; lastError() says why.
    bool store(const AccountRecord& record, bool adding);
    QString lastError() const { return lastError_; }

private:
    QSqlDatabase db_;
    std::optional<AccountRecord> current_;
    QString lastError_;
};
