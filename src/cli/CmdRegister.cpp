// nilocheque register, series and batch: the issued-cheque register, instalment series and
// cheques from a file. Every leaf is composed by the same cheque model as the print window,
// and every check is made before the first leaf is printed.
#include "cli/CliCommon.h"
#include "core/cheque/ChequeModel.h"
#include "core/errors/AppError.h"
#include "core/register/ChequeBatch.h"
#include "core/register/ChequeIssue.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/CalibrationStore.h"
#include "core/storage/Database.h"
#include "core/storage/LayoutStore.h"
#include "core/storage/SafeFile.h"
#include "core/text/AmountText.h"
#include "core/text/TextChecks.h"
#include "render/PagePainter.h"
#include "render/PrinterJob.h"
#include "render/Printers.h"
#include "render/RegisterReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

struct Options
{
    QMap<QString, QString> values;
    QSet<QString> flags;
    QStringList positional;
};

// Options of the form --name VALUE (or bare flags); the message names the bad option.
QString parseOptions(const QStringList& args, const QStringList& valued, const QStringList& flags,
                     Options& options)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (flags.contains(a)) {
            options.flags.insert(a);
        } else if (valued.contains(a)) {
            if (i + 1 >= args.size())
                return u"%1 needs a value"_s.arg(a);
            options.values[a] = args[++i];
        } else if (a.startsWith(u"--"_s)) {
            return u"unknown option '%1'"_s.arg(a);
        } else {
            options.positional << a;
        }
    }
    return {};
}

QString databaseOf(const Options& o)
{
    return o.values.value(u"--database"_s, u"NiloChequePrint.mdb"_s);
}

// Why the account cannot print a cheque, or empty.
QString accountProblem(const QSqlDatabase& db, int accountId)
{
    QSqlQuery q(db);
    q.prepare(u"select Id from tblAccountMst where Id = ?"_s);
    q.addBindValue(accountId);
    if (!q.exec() || !q.next())
        return u"no account with Id %1"_s.arg(accountId);
    if (!ReadLayout(db, accountId).hasRows)
        return u"account %1 has no cheque layout"_s.arg(accountId);
    return {};
}

QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

// One leaf to print: its record (values filled) and its composed page.
struct Leaf
{
    ChequeRecord record;
    QString amountText;
    ChequePage page;
    QByteArray pdf;
    QString file;
};

void compose(const QSqlDatabase& db, Leaf& leaf, PrinterCalibration calibration)
{
    leaf.page =
        ComposeRecordPage(db, leaf.record, leaf.amountText, calibration, ProgramTextMeasure());
}

// Where the leaves go: one PDF file each in a folder, or a printer.
struct Destination
{
    QString folder;
    QString printer;
};

QString destinationOf(const Options& o, Destination& d)
{
    const bool pdf = o.values.contains(u"--pdf"_s), printer = o.values.contains(u"--printer"_s);
    if (pdf == printer)
        return u"give either --pdf DIR or --printer NAME"_s;
    d.folder = o.values.value(u"--pdf"_s);
    d.printer = o.values.value(u"--printer"_s);
    if (pdf && QFileInfo(d.folder).exists() && !QFileInfo(d.folder).isDir())
        return u"--pdf %1 is not a folder"_s.arg(d.folder);
    return {};
}

// Prints or writes every leaf and records it. To PDF: every file is rendered before the first
// is written and all are recorded in one transaction. To a printer: each accepted job is
// recorded at once, and the first refused job ends the run.
int issue(const char* command, Database& dm, QList<Leaf>& leaves, const Destination& to,
          const QString& database)
{
    auto fail = [command](const QString& message) {
        err() << "nilocheque " << command << ": " << message << '\n';
        return 1;
    };
    const QSqlDatabase db = dm.connection();
    const PrinterCalibration calibration =
        to.printer.isEmpty() ? PrinterCalibration{} : ReadCalibration(db, to.printer);
    const int width =
        QString::number(leaves.size()).size() < 2 ? 2 : QString::number(leaves.size()).size();
    for (int k = 0; k < leaves.size(); ++k) {
        compose(db, leaves[k], calibration);
        if (!to.folder.isEmpty()) {
            leaves[k].file = QDir(to.folder).filePath(
                u"cheque-%1.pdf"_s.arg(k + 1, width, 10, QLatin1Char('0')));
            if (QFileInfo::exists(leaves[k].file))
                return fail(u"%1 exists already; nothing was written"_s.arg(leaves[k].file));
            leaves[k].pdf = RenderChequePdf(leaves[k].page);
        }
    }
    EnsureRegisterTable(db);
    if (!to.folder.isEmpty()) {
        if (!QDir().mkpath(to.folder))
            return fail(u"cannot create the folder %1"_s.arg(to.folder));
        for (Leaf& leaf : leaves) {
            if (const QString refused = RefusedOutputPath(leaf.file, {database});
                !refused.isEmpty())
                return fail(refused);
        }
        QStringList written;
        for (Leaf& leaf : leaves) {
            QString reason;
            if (!WriteFileWhole(leaf.file, leaf.pdf, {}, &reason)) {
                for (const QString& f : written)
                    QFile::remove(f); // all the leaves or none
                return fail(u"%1: %2"_s.arg(leaf.file, reason));
            }
            written << leaf.file;
            leaf.record.pdfFile = QFileInfo(leaf.file).absoluteFilePath();
        }
        QList<ChequeRecord> records;
        for (const Leaf& leaf : leaves)
            records << leaf.record;
        try {
            RecordCheques(db, records);
        } catch (const AppError& e) {
            return fail(u"the files were written but not recorded: %1"_s.arg(e.message()));
        }
        for (int k = 0; k < leaves.size(); ++k)
            out() << records[k].id << '\t' << leaves[k].file << '\n';
        return 0;
    }
    for (int k = 0; k < leaves.size(); ++k) {
        Leaf& leaf = leaves[k];
        int job = 0;
        const QString error = PrintChequePage(leaf.page, to.printer, &job);
        if (!error.isEmpty())
            return fail(u"leaf %1 of %2 was not printed (%3 printed and recorded before it): %4"_s
                            .arg(k + 1)
                            .arg(leaves.size())
                            .arg(k)
                            .arg(error));
        leaf.record.printer = to.printer;
        leaf.record.jobId = job;
        try {
            RecordCheque(db, leaf.record);
        } catch (const AppError& e) {
            return fail(
                u"leaf %1 was printed (job %2) but not recorded: %3"_s.arg(k + 1).arg(job).arg(
                    e.message()));
        }
        out() << leaf.record.id << '\t' << to.printer << " (job " << job << ")\n";
    }
    return 0;
}

const char kRegisterUsage[] =
    "usage: nilocheque register [--account ID] [--from DATE] [--to DATE]\n"
    "         [--status printed|voided] [--csv | --pdf FILE] [--database FILE]\n"
    "       nilocheque register void ID --reason TEXT [--database FILE]\n"
    "  Lists the issued cheques by due date, one a line, tab-separated: number, due date,\n"
    "  account, amount (Rials), payee, national ID, Sayad ID, serial, status, void reason,\n"
    "  reprint of, series/leaf. --csv: CSV with a header row (UTF-8 with a byte-order mark).\n"
    "  --pdf FILE: the listed cheques as an A4 landscape report with their totals.\n";

const char kSeriesUsage[] =
    "usage: nilocheque series --account ID --payee TEXT (--amount TEXT | --total TEXT)\n"
    "         --count N --first DATE [--months K] [--national-id ID] [--description TEXT]\n"
    "         (--pdf DIR | --printer NAME) [--database FILE]\n"
    "  N cheques, leaf k due k*K Jalali months after the first (K = 1), the day kept or\n"
    "  pulled back to the month's last day. --amount: each cheque; --total: cut into equal\n"
    "  cheques, the last taking the remainder. --pdf DIR: one file per leaf.\n";

const char kBatchUsage[] =
    "usage: nilocheque batch FILE.csv (--pdf DIR | --printer NAME) [--database FILE]\n"
    "  A CSV file with a header row naming account, due_date, amount, payee and optionally\n"
    "  national_id, sayad_id, description (or the same in Persian), in any order. Every row\n"
    "  is checked first; any bad row is named and nothing is printed.\n";

} // namespace

int CmdRegister(const QStringList& args)
{
    auto fail = [](const QString& message) {
        err() << "nilocheque register: " << message << '\n';
        return 1;
    };
    if (args.contains(u"--help"_s)) {
        out() << kRegisterUsage;
        return 0;
    }
    Options o;
    if (const QString e = parseOptions(args,
                                       {u"--account"_s, u"--from"_s, u"--to"_s, u"--status"_s,
                                        u"--reason"_s, u"--database"_s, u"--pdf"_s},
                                       {u"--csv"_s}, o);
        !e.isEmpty())
        return fail(e);
    const bool voiding = !o.positional.isEmpty() && o.positional[0] == u"void"_s;
    if (!o.positional.isEmpty() && (!voiding || o.positional.size() != 2))
        return fail(
            u"unexpected '%1'; see nilocheque register --help"_s.arg(o.positional.join(u' ')));
    try {
        RegisterFilter filter;
        qint64 voidId = 0;
        if (voiding) {
            bool ok = false;
            voidId = ToLatinDigits(o.positional[1]).toLongLong(&ok);
            if (!ok || voidId <= 0)
                return fail(u"'%1' is not a record number"_s.arg(o.positional[1]));
            if (TrimBlanks(o.values.value(u"--reason"_s)).isEmpty())
                return fail(u"--reason TEXT is required to void a cheque"_s);
            if (o.values.contains(u"--pdf"_s) || o.flags.contains(u"--csv"_s))
                return fail(u"--pdf and --csv go with the list, not with register void"_s);
        } else {
            if (o.values.contains(u"--reason"_s))
                return fail(u"--reason goes with register void"_s);
            if (o.values.contains(u"--pdf"_s) && o.flags.contains(u"--csv"_s))
                return fail(u"give --csv or --pdf FILE, not both"_s);
            if (o.values.contains(u"--pdf"_s) && o.values[u"--pdf"_s].isEmpty())
                return fail(u"--pdf takes a file name"_s);
            if (o.values.contains(u"--account"_s)) {
                bool ok = false;
                filter.accountId = ToLatinDigits(o.values[u"--account"_s]).trimmed().toInt(&ok);
                if (!ok || filter.accountId <= 0)
                    return fail(u"--account takes an account number"_s);
            }
            for (const QString& name : {u"--from"_s, u"--to"_s}) {
                if (!o.values.contains(name))
                    continue;
                try {
                    const qint64 day = DayNumberOf(ParseDateArgument(o.values[name]));
                    (name == u"--from"_s ? filter.fromDay : filter.toDay) = day;
                } catch (const ConversionError&) {
                    return fail(u"%1 '%2' is not a date"_s.arg(name, o.values[name]));
                }
            }
            if (o.values.contains(u"--status"_s)) {
                const QString s = o.values[u"--status"_s];
                if (s != u"printed"_s && s != u"voided"_s)
                    return fail(u"--status is printed or voided"_s);
                filter.status = s == u"voided"_s ? RecordStatus::Voided : RecordStatus::Printed;
            }
        }
        const QString database = databaseOf(o);
        Database dm(Database::File{database});
        if (!dm.isOpened())
            return fail(u"cannot open the database %1"_s.arg(database));
        if (voiding) {
            VoidRecord(dm.connection(), voidId, o.values[u"--reason"_s]);
            out() << "voided " << voidId << '\n';
            return 0;
        }
        const QList<ChequeRecord> records = QueryRegister(dm.connection(), filter);
        if (o.values.contains(u"--pdf"_s)) {
            const QString path = o.values[u"--pdf"_s];
            const QString error =
                WriteRegisterReport(records, u"چك‌هاي صادره"_s, path, {database});
            if (!error.isEmpty())
                return fail(error);
            out() << "wrote " << path << " (" << records.size() << " cheques)\n";
            return 0;
        }
        if (o.flags.contains(u"--csv"_s)) {
            out().flush();
            const QByteArray csv = RegisterCsv(records);
            fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
            fflush(stdout);
            return 0;
        }
        for (const ChequeRecord& r : records) {
            const QStringList fields = {
                QString::number(r.id),
                JalaliDayText(r.dueDay),
                QString::number(r.accountId),
                QString::number(r.amount),
                r.payee,
                r.nationalId,
                r.sayadId,
                r.serial,
                r.status == RecordStatus::Voided ? u"voided"_s : u"printed"_s,
                r.voidReason,
                r.reprintOf ? QString::number(r.reprintOf) : QString(),
                r.seriesId ? u"%1/%2"_s.arg(r.seriesId).arg(r.seriesLeaf) : QString()};
            QStringList clean;
            for (const QString& f : fields)
                clean << oneLine(f);
            out() << clean.join(u'\t') << '\n';
        }
        return 0;
    } catch (const AppError& e) {
        return fail(e.message());
    }
}

int CmdSeries(const QStringList& args)
{
    auto fail = [](const QString& message) {
        err() << "nilocheque series: " << message << '\n';
        return 1;
    };
    if (args.contains(u"--help"_s)) {
        out() << kSeriesUsage;
        return 0;
    }
    Options o;
    if (const QString e =
            parseOptions(args,
                         {u"--account"_s, u"--payee"_s, u"--amount"_s, u"--total"_s, u"--count"_s,
                          u"--first"_s, u"--months"_s, u"--national-id"_s, u"--description"_s,
                          u"--pdf"_s, u"--printer"_s, u"--database"_s},
                         {}, o);
        !e.isEmpty())
        return fail(e);
    if (!o.positional.isEmpty())
        return fail(u"unexpected '%1'"_s.arg(o.positional.first()));
    for (const QString& name : {u"--account"_s, u"--payee"_s, u"--count"_s, u"--first"_s})
        if (!o.values.contains(name) || TrimBlanks(o.values[name]).isEmpty())
            return fail(u"%1 is required"_s.arg(name));
    if (o.values.contains(u"--amount"_s) == o.values.contains(u"--total"_s))
        return fail(u"give either --amount TEXT (each cheque) or --total TEXT"_s);
    Destination to;
    if (const QString e = destinationOf(o, to); !e.isEmpty())
        return fail(e);
    bool ok = false;
    const int accountId = ToLatinDigits(o.values[u"--account"_s]).trimmed().toInt(&ok);
    if (!ok || accountId <= 0)
        return fail(u"--account takes an account number"_s);
    const int count = ToLatinDigits(o.values[u"--count"_s]).trimmed().toInt(&ok);
    if (!ok || count < 1 || count > 120)
        return fail(u"--count takes a whole number from 1 to 120"_s);
    const int months = ToLatinDigits(o.values.value(u"--months"_s, u"1"_s)).trimmed().toInt(&ok);
    if (!ok || months < 1 || months > 24)
        return fail(u"--months takes a whole number from 1 to 24"_s);
    QString nationalId;
    if (o.values.contains(u"--national-id"_s)) {
        const std::optional<QString> n = NormalizeNationalId(o.values[u"--national-id"_s]);
        if (!n)
            return fail(u"--national-id '%1' is not a valid national code or legal entity ID"_s.arg(
                o.values[u"--national-id"_s]));
        nationalId = *n;
    }
    const bool total = o.values.contains(u"--total"_s);
    const QString amountText = ToLatinDigits(o.values.value(total ? u"--total"_s : u"--amount"_s));
    const QString amountOption = total ? u"--total"_s : u"--amount"_s;
    qint64 amount = 0;
    try {
        amount = ParseAmount(amountText);
    } catch (const ConversionError&) {
        return fail(u"%1 '%2' is not a whole number of Rials"_s.arg(amountOption, amountText));
    }
    if (amount <= 0 || amountText.contains(u'(') || amountText.contains(u')'))
        return fail(u"%1 '%2' is not a whole number of Rials"_s.arg(amountOption, amountText));
    const QList<qint64> amounts = total ? SplitTotal(amount, count) : QList<qint64>(count, amount);
    if (amounts.first() <= 0)
        return fail(u"--total is smaller than --count Rials"_s);

    try {
        QList<qint64> days;
        try {
            days = SeriesDueDays(DayNumberOf(ParseDateArgument(o.values[u"--first"_s])), count,
                                 months);
        } catch (const ConversionError&) {
            return fail(u"--first '%1' is not a date (or the series leaves the calendar)"_s.arg(
                o.values[u"--first"_s]));
        }
        const QString database = databaseOf(o);
        Database dm(Database::File{database});
        if (!dm.isOpened())
            return fail(u"cannot open the database %1"_s.arg(database));
        if (const QString why = accountProblem(dm.connection(), accountId); !why.isEmpty())
            return fail(u"--account: "_s + why);
        const qint64 series = NextSeriesId(dm.connection());
        QList<Leaf> leaves;
        for (int k = 0; k < count; ++k) {
            Leaf leaf;
            leaf.record.accountId = accountId;
            leaf.record.dueDay = days[k];
            leaf.record.payee = TrimBlanks(o.values[u"--payee"_s]);
            leaf.record.nationalId = nationalId;
            leaf.record.description = TrimBlanks(o.values.value(u"--description"_s));
            leaf.record.seriesId = series;
            leaf.record.seriesLeaf = k + 1;
            leaf.amountText = QString::number(amounts[k]);
            if (leaf.amountText.size() > kMaxAmountFieldChars)
                return fail(u"the amount has more than %1 digits"_s.arg(kMaxAmountFieldChars));
            leaves << leaf;
        }
        return issue("series", dm, leaves, to, database);
    } catch (const AppError& e) {
        return fail(e.message());
    }
}

int CmdBatch(const QStringList& args)
{
    auto fail = [](const QString& message) {
        err() << "nilocheque batch: " << message << '\n';
        return 1;
    };
    if (args.contains(u"--help"_s)) {
        out() << kBatchUsage;
        return 0;
    }
    Options o;
    if (const QString e = parseOptions(args, {u"--pdf"_s, u"--printer"_s, u"--database"_s}, {}, o);
        !e.isEmpty())
        return fail(e);
    if (o.positional.size() != 1)
        return fail(u"give one FILE.csv"_s);
    Destination to;
    if (const QString e = destinationOf(o, to); !e.isEmpty())
        return fail(e);
    const QString path = o.positional.first();
    const FileRead read = ReadRegularFile(path, kMaxBatchFileBytes);
    if (read.status == ReadStatus::TooLarge)
        return fail(u"%1 is larger than %2 MB"_s.arg(path).arg(kMaxBatchFileBytes >> 20));
    if (!read.ok())
        return fail(u"cannot read %1: %2"_s.arg(path, ReadFailureText(read)));
    const QByteArray& bytes = read.bytes;
    try {
        const QString database = databaseOf(o);
        Database dm(Database::File{database});
        if (!dm.isOpened())
            return fail(u"cannot open the database %1"_s.arg(database));
        const QSqlDatabase db = dm.connection();
        const BatchReading reading = ReadBatch(
            bytes, [&db](int id) { return accountProblem(db, id); },
            [&db](const QString& sayad) { return ActiveRecordWithSayad(db, sayad); });
        if (!reading.errors.isEmpty()) {
            for (const QString& e : reading.errors)
                err() << "nilocheque batch: " << path << ": " << e << '\n';
            err() << "nilocheque batch: nothing was printed\n";
            return 1;
        }
        QList<Leaf> leaves;
        for (const BatchCheque& c : reading.cheques)
            leaves << Leaf{c.record, c.amountText, {}, {}, {}};
        return issue("batch", dm, leaves, to, database);
    } catch (const AppError& e) {
        return fail(e.message());
    }
}
