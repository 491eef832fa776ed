// nilocheque print: one cheque from the database, composed by the same cheque model and page
// code as the print window, so that the tool prints exactly what the window would.
#include "cli/CliCommon.h"
#include "core/calendar/Today.h"
#include "core/cheque/ChequeModel.h"
#include "core/errors/AppError.h"
#include "core/register/ChequeIssue.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/CalibrationStore.h"
#include "core/storage/DataFolder.h"
#include "core/storage/Database.h"
#include "core/storage/LayoutStore.h"
#include "core/text/TextChecks.h"
#include "render/PagePainter.h"
#include "render/PrinterJob.h"
#include "render/Printers.h"

#include <QFileInfo>
#include <QMap>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const char kUsage[] =
    "usage: nilocheque print --account ID [--date DATE] [--amount TEXT] [--payee TEXT]\n"
    "         [--description TEXT] [--show ITEMS] [--hide ITEMS] [--feed horizontal|vertical]\n"
    "         [--from middle|left] [--top N] [--left N] [--offset X,Y]\n"
    "         [--test-sheet [--with-picture]] [--pdf FILE [--record] | --printer NAME]\n"
    "         [--sayad ID] [--national-id ID] [--serial TEXT] [--reprint] [--database FILE]\n"
    "  ITEMS: a comma-separated list of words-date, toman, description, cover, constant,\n"
    "  perforation, national-id. --top and --left are pixels of 1/96 inch (-500..500); --offset is "
    "the\n"
    "  printer's calibration in millimetres (-25..25), by default the one stored for --printer.\n"
    "  --test-sheet prints the alignment sheet (box outlines, millimetre marks) instead.\n"
    "  A cheque printed on a printer is recorded in the register of issued cheques; one written\n"
    "  to --pdf only with --record. --sayad: the leaf's 16-digit Sayad ID; one already in the\n"
    "  register is refused unless --reprint (recorded as a reprint of that cheque).\n";

const QMap<QString, int> kSwitches = {
    {u"words-date"_s, ChequeSwitch::WordsDate},    {u"toman"_s, ChequeSwitch::Toman},
    {u"description"_s, ChequeSwitch::Description}, {u"cover"_s, ChequeSwitch::Cover},
    {u"constant"_s, ChequeSwitch::Constant},       {u"perforation"_s, ChequeSwitch::Perforation},
    {u"national-id"_s, ChequeSwitch::NationalId}};

int fail(const QString& message)
{
    err() << "nilocheque print: " << message << '\n';
    return 1;
}

bool toInt(const QString& text, int& value)
{
    bool ok = false;
    value = ToLatinDigits(text).trimmed().toInt(&ok);
    return ok;
}

bool toOffset(const QString& text, PrinterCalibration& c)
{
    const QStringList parts = ToLatinDigits(text).split(u',');
    if (parts.size() != 2)
        return false;
    bool okX = false, okY = false;
    c = {parts[0].trimmed().toDouble(&okX), parts[1].trimmed().toDouble(&okY)};
    return okX && okY;
}

} // namespace

int CmdPrint(const QStringList& args)
{
    QMap<QString, QString> opts;
    QList<QPair<QString, bool>> switches; // item, on; in the order given
    bool testSheet = false, withPicture = false, recordPdf = false, reprint = false;
    static const QStringList known = {
        u"--account"_s, u"--date"_s,        u"--amount"_s,  u"--payee"_s,    u"--description"_s,
        u"--show"_s,    u"--hide"_s,        u"--feed"_s,    u"--from"_s,     u"--top"_s,
        u"--left"_s,    u"--pdf"_s,         u"--printer"_s, u"--database"_s, u"--offset"_s,
        u"--sayad"_s,   u"--national-id"_s, u"--serial"_s};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--help"_s) {
            out() << kUsage;
            return 0;
        }
        if (a == u"--test-sheet"_s) {
            testSheet = true;
            continue;
        }
        if (a == u"--with-picture"_s) {
            withPicture = true;
            continue;
        }
        if (a == u"--record"_s || a == u"--reprint"_s) {
            (a == u"--record"_s ? recordPdf : reprint) = true;
            continue;
        }
        if (!known.contains(a) || i + 1 >= args.size()) {
            err() << kUsage;
            return 2;
        }
        const QString value = args[++i];
        if (a == u"--show"_s || a == u"--hide"_s) {
            for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
                if (!kSwitches.contains(item.trimmed()))
                    return fail(u"unknown item '%1'"_s.arg(item));
                switches.append({item.trimmed(), a == u"--show"_s});
            }
        } else {
            opts[a] = value;
        }
    }
    int accountId = 0;
    if (!opts.contains(u"--account"_s) || !toInt(opts[u"--account"_s], accountId))
        return fail(u"--account ID is required"_s);
    if (opts.contains(u"--pdf"_s) && opts.contains(u"--printer"_s))
        return fail(u"give either --pdf or --printer"_s);
    if (withPicture && !testSheet)
        return fail(u"--with-picture goes with --test-sheet"_s);
    if (recordPdf && !opts.contains(u"--pdf"_s))
        return fail(u"--record goes with --pdf (a print on a printer is always recorded)"_s);
    if (testSheet && (recordPdf || reprint || opts.contains(u"--sayad"_s) ||
                      opts.contains(u"--national-id"_s) || opts.contains(u"--serial"_s)))
        return fail(u"a test sheet is no cheque: --sayad, --national-id, --serial, --record and"
                    u" --reprint do not go with --test-sheet"_s);
    ChequeRecord sayad;
    if (opts.contains(u"--sayad"_s)) {
        const std::optional<QString> id = NormalizeSayadId(opts[u"--sayad"_s]);
        if (!id)
            return fail(u"--sayad '%1' is not a 16-digit Sayad ID"_s.arg(opts[u"--sayad"_s]));
        sayad.sayadId = *id;
    }
    if (reprint && sayad.sayadId.isEmpty())
        return fail(u"--reprint goes with --sayad ID"_s);
    if (opts.contains(u"--national-id"_s)) {
        const std::optional<QString> id = NormalizeNationalId(opts[u"--national-id"_s]);
        if (!id)
            return fail(u"--national-id '%1' is not a valid national code (10 digits) or legal"
                        u" entity ID (11 digits)"_s.arg(opts[u"--national-id"_s]));
        sayad.nationalId = *id;
    }
    sayad.serial = TrimBlanks(opts.value(u"--serial"_s));

    const QString feed = opts.value(u"--feed"_s);
    const QString from = opts.value(u"--from"_s, u"middle"_s);
    if (!feed.isEmpty() && feed != u"horizontal"_s && feed != u"vertical"_s)
        return fail(u"--feed is horizontal or vertical"_s);
    if (from != u"middle"_s && from != u"left"_s)
        return fail(u"--from is middle or left"_s);
    int top = 0, left = 0;
    if (opts.contains(u"--top"_s) &&
        (!toInt(opts[u"--top"_s], top) || std::abs(top) > kMaxPrinterDistance))
        return fail(u"--top takes a whole number from -%1 to %1"_s.arg(kMaxPrinterDistance));
    if (opts.contains(u"--left"_s) &&
        (!toInt(opts[u"--left"_s], left) || std::abs(left) > kMaxPrinterDistance))
        return fail(u"--left takes a whole number from -%1 to %1"_s.arg(kMaxPrinterDistance));
    PrinterCalibration offset;
    if (opts.contains(u"--offset"_s) &&
        (!toOffset(opts[u"--offset"_s], offset) || !IsValidCalibration(offset)))
        return fail(u"--offset takes X,Y in millimetres, each from -25 to 25"_s);

    const QString database = opts.value(u"--database"_s, DefaultDatabasePath());
    try {
        Database dm(Database::File{database});
        if (!dm.isOpened())
            return fail(u"cannot open the database %1"_s.arg(database));
        QSqlQuery q(dm.connection());
        q.prepare(u"select Id from tblAccountMst where Id = :InId"_s);
        q.bindValue(u":InId"_s, accountId);
        if (!q.exec() || !q.next())
            return fail(u"no account with Id %1"_s.arg(accountId));
        const ChequeLayout layout = ReadLayout(dm.connection(), accountId);
        if (!layout.hasRows)
            return fail(u"account %1 has no cheque layout"_s.arg(accountId));

        ChequeModel model(ProgramTextMeasure());
        model.loadAccount(accountId, layout);
        model.setDate(opts.contains(u"--date"_s) ? ParseDateArgument(opts[u"--date"_s]) : Today());
        switch (model.setAmount(opts.value(u"--amount"_s))) {
        case ChequeModel::AmountChange::Accepted:
            break;
        case ChequeModel::AmountChange::TooLong:
            return fail(u"the amount has more than %1 characters"_s.arg(kMaxAmountFieldChars));
        case ChequeModel::AmountChange::NotAnAmount:
            return fail(u"'%1' is not a valid integer value"_s.arg(opts.value(u"--amount"_s)));
        }
        model.setPayee(opts.value(u"--payee"_s));
        model.setNationalId(sayad.nationalId);
        for (const auto& [item, on] : switches)
            model.setSwitch(kSwitches[item], on);
        if (opts.contains(u"--description"_s)) {
            model.setSwitch(ChequeSwitch::Description, true);
            model.setDescription(opts[u"--description"_s]);
        }
        const FeedDirection direction = feed.isEmpty()          ? model.feedDirection()
                                        : feed == u"vertical"_s ? FeedDirection::Vertical
                                                                : FeedDirection::Horizontal;
        model.setFeed(direction, from == u"left"_s ? FeedPosition::Left : FeedPosition::Middle);
        model.setDistances(opts.contains(u"--top"_s) ? top : model.distanceTop(),
                           opts.contains(u"--left"_s) ? left : model.distanceLeft());

        const bool toPdf = opts.contains(u"--pdf"_s);
        const QString printer =
            toPdf ? QString() : opts.value(u"--printer"_s, CurrentPrinterName());
        if (!toPdf && printer.isEmpty())
            return fail(u"no printer is installed; use --pdf FILE"_s);
        if (opts.contains(u"--offset"_s))
            model.setCalibration(offset);
        else if (!toPdf)
            model.setCalibration(ReadCalibration(dm.connection(), printer));

        if (!testSheet) {
            const PrintRefusal refusal = model.printRefusal();
            if (refusal == PrintRefusal::EmptyAmount)
                return fail(u"--amount is required: a cheque without an amount is not printed"_s);
        }
        const bool recording = !testSheet && (!toPdf || recordPdf);
        ChequeRecord record;
        if (recording) {
            record = RecordOfCheque(model);
            record.sayadId = sayad.sayadId;
            record.nationalId = sayad.nationalId;
            record.serial = sayad.serial;
            // Checked before printing: a record that cannot be written is known now.
            EnsureRegisterTable(dm.connection());
            if (const qint64 existing = ActiveRecordWithSayad(dm.connection(), record.sayadId)) {
                if (!reprint)
                    return fail(u"Sayad ID %1 is in the register already (record %2); nothing"
                                u" was printed. Give --reprint to print that cheque again"_s
                                    .arg(record.sayadId)
                                    .arg(existing));
                const ChequeRecord original = *ReadRecord(dm.connection(), existing);
                if (original.amount != record.amount || original.dueDay != record.dueDay ||
                    original.accountId != record.accountId)
                    return fail(u"record %1 with Sayad ID %2 has another account, amount or due"
                                u" date; a reprint prints the same cheque"_s.arg(existing)
                                    .arg(record.sayadId));
                record.reprintOf = existing;
            } else if (reprint) {
                return fail(u"--reprint: no cheque with Sayad ID %1 is in the register"_s.arg(
                    record.sayadId));
            }
        }
        const ChequePage page = testSheet ? model.testSheet(withPicture) : model.page();
        if (toPdf) {
            const QString pdf = opts[u"--pdf"_s];
            WriteChequePdf(page, pdf, {database});
            out() << "wrote " << pdf << '\n';
            record.pdfFile = QFileInfo(pdf).absoluteFilePath();
        } else {
            int job = 0;
            const QString error = PrintChequePage(page, printer, &job);
            if (!error.isEmpty())
                return fail(error);
            out() << "printed on " << printer << " (job " << job << ")\n";
            record.printer = printer;
            record.jobId = job;
        }
        if (recording) {
            try {
                RecordCheque(dm.connection(), record);
            } catch (const AppError& e) {
                return fail(u"the cheque was printed but not recorded in the register: "_s +
                            e.message());
            }
            out() << "recorded as " << record.id << (record.reprintOf ? " (a reprint of " : "")
                  << (record.reprintOf ? QString::number(record.reprintOf) + u")"_s : QString())
                  << '\n';
        }
        return 0;
    } catch (const AppError& e) {
        return fail(e.message());
    }
}
