#include "core/storage/ChequeRegister.h"

#include "core/errors/AppError.h"
#include "core/text/TextChecks.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

void exec(QSqlQuery& q)
{
    if (!q.exec())
        throw AppError(q.lastError().text());
}

void exec(QSqlQuery& q, const QString& statement)
{
    if (!q.exec(statement))
        throw AppError(q.lastError().text());
}

bool tableExists(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    exec(q, u"select 1 from sqlite_master where type = 'table' and name = 'tblChequeRegister'"_s);
    return q.next();
}

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

QVariant idOrNull(qint64 id)
{
    return id == 0 ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(id);
}

QString timeText(const QDateTime& t)
{
    return t.isValid() ? t.toString(Qt::ISODate) : QString();
}

const QString kColumns =
    u"r.Id, r.AccountMstId, r.SayadId, r.Serial, r.DueDay, r.Amount, r.Payee, r.NationalId,"
    u" r.Description, r.AmountDigits, r.AmountWords, r.DateDigits, r.DateWords, r.PrintedAt,"
    u" r.Printer, r.PdfFile, r.JobId, r.Status, r.VoidReason, r.VoidedAt, r.ReprintOf,"
    u" r.SeriesId, r.SeriesLeaf, coalesce(a.BankName, '') || ' - ' || coalesce(a.AccountName, '')"_s;

ChequeRecord readRow(const QSqlQuery& q)
{
    ChequeRecord r;
    r.id = q.value(0).toLongLong();
    r.accountId = q.value(1).toInt();
    r.sayadId = q.value(2).toString();
    r.serial = q.value(3).toString();
    r.dueDay = q.value(4).toLongLong();
    r.amount = q.value(5).toLongLong();
    r.payee = q.value(6).toString();
    r.nationalId = q.value(7).toString();
    r.description = q.value(8).toString();
    r.amountDigits = q.value(9).toString();
    r.amountWords = q.value(10).toString();
    r.dateDigits = q.value(11).toString();
    r.dateWords = q.value(12).toString();
    r.printedAt = QDateTime::fromString(q.value(13).toString(), Qt::ISODate);
    r.printer = q.value(14).toString();
    r.pdfFile = q.value(15).toString();
    r.jobId = q.value(16).toInt();
    r.status = q.value(17).toInt() == 1 ? RecordStatus::Voided : RecordStatus::Printed;
    r.voidReason = q.value(18).toString();
    r.voidedAt = QDateTime::fromString(q.value(19).toString(), Qt::ISODate);
    r.reprintOf = q.value(20).toLongLong();
    r.seriesId = q.value(21).toLongLong();
    r.seriesLeaf = q.value(22).toInt();
    r.accountTitle = q.value(23).toString();
    return r;
}

void insert(const QSqlDatabase& db, ChequeRecord& r)
{
    if (!r.printedAt.isValid())
        r.printedAt = QDateTime::currentDateTime();
    QSqlQuery q(db);
    q.prepare(
        u"insert into tblChequeRegister (AccountMstId, SayadId, Serial, DueDay, Amount,"
        u" Payee, NationalId, Description, AmountDigits, AmountWords, DateDigits,"
        u" DateWords, PrintedAt, Printer, PdfFile, JobId, Status, ReprintOf, SeriesId,"
        u" SeriesLeaf) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?)"_s);
    q.addBindValue(r.accountId);
    q.addBindValue(textOrNull(r.sayadId));
    q.addBindValue(textOrNull(r.serial));
    q.addBindValue(r.dueDay);
    q.addBindValue(r.amount);
    q.addBindValue(r.payee);
    q.addBindValue(textOrNull(r.nationalId));
    q.addBindValue(r.description);
    q.addBindValue(r.amountDigits);
    q.addBindValue(r.amountWords);
    q.addBindValue(r.dateDigits);
    q.addBindValue(r.dateWords);
    q.addBindValue(timeText(r.printedAt));
    q.addBindValue(textOrNull(r.printer));
    q.addBindValue(textOrNull(r.pdfFile));
    q.addBindValue(r.jobId);
    q.addBindValue(idOrNull(r.reprintOf));
    q.addBindValue(idOrNull(r.seriesId));
    q.addBindValue(r.seriesLeaf);
    exec(q);
    r.id = q.lastInsertId().toLongLong();
    r.status = RecordStatus::Printed;
}

// The transaction of one write: rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(const QSqlDatabase& db) : db_(db)
    {
        if (!db_.transaction())
            throw AppError(db_.lastError().text());
    }
    ~Transaction()
    {
        if (!done_)
            db_.rollback();
    }
    void commit()
    {
        if (!db_.commit())
            throw AppError(db_.lastError().text());
        done_ = true;
    }

private:
    QSqlDatabase db_;
    bool done_ = false;
};

} // namespace

void EnsureRegisterTable(const QSqlDatabase& db)
{
    if (tableExists(db))
        return;
    Transaction t(db);
    QSqlQuery q(db);
    exec(q, QString::fromLatin1(kRegisterTableSql));
    exec(q, QString::fromLatin1(kRegisterDueIndexSql));
    exec(q, QString::fromLatin1(kRegisterSayadIndexSql));
    t.commit();
}

qint64 RecordCheque(const QSqlDatabase& db, ChequeRecord& record)
{
    EnsureRegisterTable(db);
    insert(db, record);
    return record.id;
}

void RecordCheques(const QSqlDatabase& db, QList<ChequeRecord>& records)
{
    EnsureRegisterTable(db);
    Transaction t(db);
    for (ChequeRecord& r : records)
        insert(db, r);
    t.commit();
}

qint64 ActiveRecordWithSayad(const QSqlDatabase& db, const QString& sayadId)
{
    if (sayadId.isEmpty() || !tableExists(db))
        return 0;
    QSqlQuery q(db);
    q.prepare(u"select min(Id) from tblChequeRegister where SayadId = ? and Status = 0"_s);
    q.addBindValue(sayadId);
    exec(q);
    return q.next() ? q.value(0).toLongLong() : 0;
}

void VoidRecord(const QSqlDatabase& db, qint64 id, const QString& reason)
{
    if (TrimBlanks(reason).isEmpty())
        throw AppError(u"a reason is required to void a cheque"_s);
    const std::optional<ChequeRecord> record = ReadRecord(db, id);
    if (!record)
        throw AppError(u"there is no record %1"_s.arg(id));
    if (record->status == RecordStatus::Voided)
        throw AppError(u"record %1 is voided already"_s.arg(id));
    QSqlQuery q(db);
    q.prepare(u"update tblChequeRegister set Status = 1, VoidReason = ?, VoidedAt = ?"
              u" where Id = ? and Status = 0"_s);
    q.addBindValue(TrimBlanks(reason));
    q.addBindValue(timeText(QDateTime::currentDateTime()));
    q.addBindValue(id);
    exec(q);
}

std::optional<ChequeRecord> ReadRecord(const QSqlDatabase& db, qint64 id)
{
    if (!tableExists(db))
        return std::nullopt;
    QSqlQuery q(db);
    q.prepare(u"select "_s + kColumns +
              u" from tblChequeRegister r left join tblAccountMst a on a.Id = r.AccountMstId"
              u" where r.Id = ?"_s);
    q.addBindValue(id);
    exec(q);
    if (!q.next())
        return std::nullopt;
    return readRow(q);
}

QList<ChequeRecord> QueryRegister(const QSqlDatabase& db, const RegisterFilter& filter)
{
    QList<ChequeRecord> list;
    if (!tableExists(db))
        return list;
    QStringList where;
    QVariantList binds;
    if (filter.accountId != 0) {
        where << u"r.AccountMstId = ?"_s;
        binds << filter.accountId;
    }
    if (filter.fromDay) {
        where << u"r.DueDay >= ?"_s;
        binds << *filter.fromDay;
    }
    if (filter.toDay) {
        where << u"r.DueDay <= ?"_s;
        binds << *filter.toDay;
    }
    if (filter.status) {
        where << u"r.Status = ?"_s;
        binds << int(*filter.status);
    }
    // Substrings are matched in code: SQLite's like folds only ASCII letters and treats
    // "%" and "_" in the typed text as wildcards.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(u"select "_s + kColumns +
              u" from tblChequeRegister r left join tblAccountMst a on a.Id = r.AccountMstId"_s +
              (where.isEmpty() ? QString() : u" where "_s + where.join(u" and "_s)) +
              u" order by r.DueDay, r.Id"_s);
    for (const QVariant& v : binds)
        q.addBindValue(v);
    exec(q);
    const QString payee = TrimBlanks(filter.payee);
    const QString text = ToLatinDigits(TrimBlanks(filter.text));
    while (q.next()) {
        ChequeRecord r = readRow(q);
        if (!payee.isEmpty() && !r.payee.contains(payee, Qt::CaseInsensitive))
            continue;
        if (!text.isEmpty()) {
            const QString all = QStringList{r.payee,        r.description,
                                            r.sayadId,      r.serial,
                                            r.nationalId,   r.accountTitle,
                                            r.amountDigits, r.dateDigits,
                                            r.voidReason,   QString::number(r.amount)}
                                    .join(u'\n');
            if (!all.contains(text, Qt::CaseInsensitive))
                continue;
        }
        list.append(std::move(r));
    }
    return list;
}

qint64 NextSeriesId(const QSqlDatabase& db)
{
    if (!tableExists(db))
        return 1;
    QSqlQuery q(db);
    exec(q, u"select coalesce(max(SeriesId), 0) + 1 from tblChequeRegister"_s);
    return q.next() ? q.value(0).toLongLong() : 1;
}

QString CsvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QByteArray RegisterCsv(const QList<ChequeRecord>& records)
{
    QString csv = u"\uFEFF"_s;
    const QStringList header = {
        u"id"_s,          u"account"_s,    u"due_date"_s, u"amount"_s,      u"payee"_s,
        u"national_id"_s, u"sayad_id"_s,   u"serial"_s,   u"description"_s, u"status"_s,
        u"void_reason"_s, u"printed_at"_s, u"printer"_s,  u"pdf_file"_s,    u"reprint_of"_s,
        u"series"_s,      u"series_leaf"_s};
    csv += header.join(u',') + u"\r\n"_s;
    for (const ChequeRecord& r : records) {
        const QStringList fields = {QString::number(r.id),
                                    QString::number(r.accountId),
                                    JalaliDayText(r.dueDay),
                                    QString::number(r.amount),
                                    r.payee,
                                    r.nationalId,
                                    r.sayadId,
                                    r.serial,
                                    r.description,
                                    r.status == RecordStatus::Voided ? u"voided"_s : u"printed"_s,
                                    r.voidReason,
                                    timeText(r.printedAt),
                                    r.printer,
                                    r.pdfFile,
                                    r.reprintOf ? QString::number(r.reprintOf) : QString(),
                                    r.seriesId ? QString::number(r.seriesId) : QString(),
                                    r.seriesId ? QString::number(r.seriesLeaf) : QString()};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << CsvField(f);
        csv += quoted.join(u',') + u"\r\n"_s;
    }
    return csv.toUtf8();
}

QString JalaliDayText(qint64 day)
{
    quint16 y = 0, m = 0, d = 0;
    DecodeJalaliDate(SerialDate(day), y, m, d);
    return u"%1/%2/%3"_s.arg(y, 4, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

std::optional<qint64> ParseJalaliDay(const QString& text)
{
    static const QRegularExpression pattern(u"^(\\d{1,4})[/-](\\d{1,2})[/-](\\d{1,2})$"_s);
    const QRegularExpressionMatch m = pattern.match(ToLatinDigits(TrimBlanks(text)));
    if (!m.hasMatch())
        return std::nullopt;
    SerialDate value = 0;
    if (!TryEncodeJalaliDate(quint16(m.captured(1).toUInt()), quint16(m.captured(2).toUInt()),
                             quint16(m.captured(3).toUInt()), value))
        return std::nullopt;
    return qint64(value);
}

QList<qint64> SeriesDueDays(qint64 firstDay, int count, int stepMonths)
{
    QList<qint64> days;
    // Each leaf is stepped from the first date, not from the leaf before, so a 31st pulled
    // back to a 30th comes back to the 31st in the months that have one.
    for (int k = 0; k < count; ++k)
        days.append(DayNumberOf(IncJalaliMonth(SerialDate(firstDay), k * stepMonths)));
    return days;
}

QList<qint64> SplitTotal(qint64 total, int count)
{
    QList<qint64> parts;
    if (count <= 0)
        return parts;
    const qint64 each = total / count;
    for (int k = 0; k < count - 1; ++k)
        parts.append(each);
    parts.append(total - each * (count - 1));
    return parts;
}

DueSoonSummary DueSoon(const QSqlDatabase& db, qint64 today, int days)
{
    DueSoonSummary s;
    if (!tableExists(db))
        return s;
    QSqlQuery q(db);
    q.prepare(u"select count(*), coalesce(sum(Amount), 0), min(DueDay),"
              u" coalesce(sum(DueDay < ?), 0) from tblChequeRegister"
              u" where Status = 0 and ReprintOf is null and DueDay <= ?"_s);
    q.addBindValue(today);
    q.addBindValue(today + std::max(0, days));
    exec(q);
    if (q.next()) {
        s.count = q.value(0).toInt();
        s.total = q.value(1).toLongLong();
        s.nearestDay = q.value(2).toLongLong();
        s.pastDue = q.value(3).toInt();
    }
    return s;
}
