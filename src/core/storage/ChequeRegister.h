#pragma once

#include "core/calendar/JalaliCalendar.h"
#include "core/text/ChequeIds.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// The register of issued cheques: one row for every cheque whose print job was accepted,
// kept in tblChequeRegister. Older database files lack the table; it is created in one
// transaction the first time it is needed, and `init-db` creates it with the others.

inline constexpr char kRegisterTableSql[] = "create table if not exists tblChequeRegister ("
                                            " Id integer primary key autoincrement,"
                                            " AccountMstId integer not null,"
                                            " SayadId text,"
                                            " Serial text,"
                                            " DueDay integer not null,"
                                            " Amount integer not null,"
                                            " Payee text,"
                                            " NationalId text,"
                                            " Description text,"
                                            " AmountDigits text,"
                                            " AmountWords text,"
                                            " DateDigits text,"
                                            " DateWords text,"
                                            " PrintedAt text not null,"
                                            " Printer text,"
                                            " PdfFile text,"
                                            " JobId integer,"
                                            " Status integer not null default 0,"
                                            " VoidReason text,"
                                            " VoidedAt text,"
                                            " ReprintOf integer,"
                                            " SeriesId integer,"
                                            " SeriesLeaf integer)";
inline constexpr char kRegisterDueIndexSql[] =
    "create index if not exists ixChequeRegisterDue on tblChequeRegister (DueDay)";
inline constexpr char kRegisterSayadIndexSql[] =
    "create index if not exists ixChequeRegisterSayad on tblChequeRegister (SayadId)";

enum class RecordStatus { Printed = 0, Voided = 1 };

struct ChequeRecord
{
    qint64 id = 0;
    int accountId = 0;
    QString sayadId;
    QString serial;
    qint64 dueDay = 0; // day number of the due date
    qint64 amount = 0; // whole Rials
    QString payee;
    QString nationalId;
    QString description;
    // The texts as printed on the leaf.
    QString amountDigits;
    QString amountWords;
    QString dateDigits;
    QString dateWords;
    QDateTime printedAt;
    QString printer; // the printer, or empty for a PDF file
    QString pdfFile;
    int jobId = 0;
    RecordStatus status = RecordStatus::Printed;
    QString voidReason;
    QDateTime voidedAt;
    qint64 reprintOf = 0; // the record this one prints again, 0 for none
    qint64 seriesId = 0;  // the instalment series, 0 for none
    int seriesLeaf = 0;   // 1.. within the series
    QString accountTitle; // bank and account name, for lists; not stored
};

struct RegisterFilter
{
    int accountId = 0; // 0: every account
    std::optional<qint64> fromDay;
    std::optional<qint64> toDay;
    QString payee; // part of the payee's name
    std::optional<RecordStatus> status;
    QString text; // part of any text of the record (payee, description, Sayad ID, serial, ...)
};

// Creates the table and its indexes when absent, in one transaction. Throws AppError.
void EnsureRegisterTable(const QSqlDatabase& db);

// Stores a new record (status printed) and gives it its id. Throws AppError.
qint64 RecordCheque(const QSqlDatabase& db, ChequeRecord& record);

// Several records stored together or none of them (a batch, a series). Throws AppError.
void RecordCheques(const QSqlDatabase& db, QList<ChequeRecord>& records);

// The id of a record that is not voided and carries the Sayad ID, else 0.
qint64 ActiveRecordWithSayad(const QSqlDatabase& db, const QString& sayadId);

// Marks a record voided with its reason and the time. Throws AppError when there is no such
// record, it is voided already, or the reason is empty.
void VoidRecord(const QSqlDatabase& db, qint64 id, const QString& reason);

std::optional<ChequeRecord> ReadRecord(const QSqlDatabase& db, qint64 id);

// The records passing the filter, by due date then id.
QList<ChequeRecord> QueryRegister(const QSqlDatabase& db, const RegisterFilter& filter = {});

// A number no series in the register has yet.
qint64 NextSeriesId(const QSqlDatabase& db);

// The records as CSV: UTF-8 with a byte-order mark, a header row, RFC 4180 quoting, CRLF.
QByteArray RegisterCsv(const QList<ChequeRecord>& records);
// One CSV field, quoted when it holds a comma, a quote or a line break.
QString CsvField(const QString& text);

// yyyy/mm/dd of a day number.
QString JalaliDayText(qint64 day);
// A Jalali date yyyy/mm/dd (or with "-"), Persian digits allowed; nullopt when it is none.
std::optional<qint64> ParseJalaliDay(const QString& text);

// The due days of a series: leaf k (0-based) falls k * stepMonths Jalali months after the
// first, its day of the month kept and pulled back to the month's last day when the month is
// shorter. Throws ConversionError when a leaf leaves the calendar.
QList<qint64> SeriesDueDays(qint64 firstDay, int count, int stepMonths);
// A total cut into count equal whole amounts, the last taking the remainder.
QList<qint64> SplitTotal(qint64 total, int count);

// Cheques falling due within `days` days from today, or already past due, not voided.
struct DueSoonSummary
{
    int count = 0;
    qint64 total = 0;
    qint64 nearestDay = 0;
    int pastDue = 0;
};
DueSoonSummary DueSoon(const QSqlDatabase& db, qint64 today, int days);
