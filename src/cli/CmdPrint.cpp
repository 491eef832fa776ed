// nilocheque print: one cheque from the database, composed by the print window itself (not
// shown), so that the tool prints exactly what the window would.
#include "app/uMainDM.h"
#include "calendar/Today.h"
#include "cli/CliCommon.h"
#include "layout/LayoutStore.h"
#include "lib/AppError.h"
#include "lib/Printers.h"
#include "lib/TextChecks.h"
#include "printing/ChequeTexts.h"
#include "printing/PagePainter.h"
#include "printing/uChequePrintUI.h"

#include <QLineEdit>
#include <QMap>
#include <QSpinBox>
#include <QSqlQuery>

namespace {

const char kUsage[] =
    "usage: nilocheque print --account ID [--date DATE] [--amount TEXT] [--payee TEXT]\n"
    "         [--description TEXT] [--show ITEMS] [--hide ITEMS] [--feed horizontal|vertical]\n"
    "         [--from middle|left] [--top N] [--left N] [--pdf FILE | --printer NAME]\n"
    "         [--database FILE]\n"
    "  ITEMS: a comma-separated list of words-date, toman, description, cover, constant,\n"
    "  perforation\n";

// The switch number of each optional item.
const QMap<QString, int> kSwitches = {
    {QStringLiteral("words-date"), 1},  {QStringLiteral("toman"), 2},
    {QStringLiteral("description"), 3}, {QStringLiteral("cover"), 4},
    {QStringLiteral("constant"), 5},    {QStringLiteral("perforation"), 6}};

int fail(const QString& message)
{
    err() << "nilocheque print: " << message << '\n';
    return 1;
}

bool toInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

} // namespace

int CmdPrint(const QStringList& args)
{
    QMap<QString, QString> opts;
    QList<QPair<QString, bool>> switches; // item, on; in the order given
    static const QStringList known = {
        "--account", "--date", "--amount", "--payee", "--description", "--show",    "--hide",
        "--feed",    "--from", "--top",    "--left",  "--pdf",         "--printer", "--database"};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!known.contains(a) || i + 1 >= args.size()) {
            err() << kUsage;
            return 2;
        }
        const QString value = args[++i];
        if (a == QLatin1String("--show") || a == QLatin1String("--hide")) {
            for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
                if (!kSwitches.contains(item.trimmed()))
                    return fail(QStringLiteral("unknown item '%1'").arg(item));
                switches.append({item.trimmed(), a == QLatin1String("--show")});
            }
        } else {
            opts[a] = value;
        }
    }
    int accountId = 0, top = 0, left = 0;
    if (!opts.contains(QStringLiteral("--account")) ||
        !toInt(opts[QStringLiteral("--account")], accountId))
        return fail(QStringLiteral("--account ID is required"));
    if (opts.contains(QStringLiteral("--pdf")) && opts.contains(QStringLiteral("--printer")))
        return fail(QStringLiteral("give either --pdf or --printer"));

    try {
        TfrmMainDM dm(TfrmMainDM::File{
            opts.value(QStringLiteral("--database"), QStringLiteral("NiloChequePrint.mdb"))});
        if (!dm.isOpened())
            return fail(QStringLiteral("cannot open the database"));
        QSqlQuery q(dm.connection());
        q.prepare(QStringLiteral("select Id from tblAccountMst where Id = :InId"));
        q.bindValue(QStringLiteral(":InId"), accountId);
        if (!q.exec() || !q.next())
            return fail(QStringLiteral("no account with Id %1").arg(accountId));
        if (!ReadLayout(dm.connection(), accountId).hasRows)
            return fail(QStringLiteral("account %1 has no cheque layout").arg(accountId));

        const TDateTime date = opts.contains(QStringLiteral("--date"))
                                   ? ParseDateArgument(opts[QStringLiteral("--date")])
                                   : Today();
        const QString amount = opts.value(QStringLiteral("--amount"));
        if (TrimBlanks(amount).size() > kMaxAmountFieldChars)
            return fail(
                QStringLiteral("the amount has more than %1 characters").arg(kMaxAmountFieldChars));
        if (!TrimBlanks(amount).isEmpty())
            AmountTexts(amount); // a text that is no amount is refused before anything prints

        TfrmChequePrintUI window;
        window.LoadAccount(accountId);
        window.setChequeDate(date);
        window.amountEdit()->setText(amount);
        window.payeeEdit()->setText(opts.value(QStringLiteral("--payee")));
        for (const auto& [item, on] : switches)
            window.setSwitch(kSwitches[item], on);
        if (opts.contains(QStringLiteral("--description"))) {
            window.setSwitch(3, true);
            window.descriptionEdit()->setText(opts[QStringLiteral("--description")]);
        }

        const QString feed = opts.value(QStringLiteral("--feed"));
        const QString from = opts.value(QStringLiteral("--from"), QStringLiteral("middle"));
        if (!feed.isEmpty() && feed != QLatin1String("horizontal") &&
            feed != QLatin1String("vertical"))
            return fail(QStringLiteral("--feed is horizontal or vertical"));
        if (from != QLatin1String("middle") && from != QLatin1String("left"))
            return fail(QStringLiteral("--from is middle or left"));
        const ChequePage loaded = window.composePage();
        const FeedDirection direction =
            feed.isEmpty()
                ? (loaded.landscape ? FeedDirection::Vertical : FeedDirection::Horizontal)
            : feed == QLatin1String("vertical") ? FeedDirection::Vertical
                                                : FeedDirection::Horizontal;
        window.setFeed(direction,
                       from == QLatin1String("left") ? FeedPosition::Left : FeedPosition::Middle);
        top = window.findChild<QSpinBox*>(QStringLiteral("AdvSpinEdit1"))->value();
        left = window.findChild<QSpinBox*>(QStringLiteral("AdvSpinEdit2"))->value();
        if (opts.contains(QStringLiteral("--top")) && !toInt(opts[QStringLiteral("--top")], top))
            return fail(QStringLiteral("--top takes a whole number"));
        if (opts.contains(QStringLiteral("--left")) && !toInt(opts[QStringLiteral("--left")], left))
            return fail(QStringLiteral("--left takes a whole number"));
        window.setDistances(top, left);

        const ChequePage page = window.composePage();
        if (opts.contains(QStringLiteral("--pdf"))) {
            WriteChequePdf(page, opts[QStringLiteral("--pdf")]);
            out() << "wrote " << opts[QStringLiteral("--pdf")] << '\n';
        } else {
            const QString printer = opts.value(QStringLiteral("--printer"), CurrentPrinterName());
            if (printer.isEmpty())
                return fail(QStringLiteral("no printer is installed; use --pdf FILE"));
            PrintChequePageOn(page, printer);
            out() << "printed on " << printer << '\n';
        }
        return 0;
    } catch (const AppError& e) {
        return fail(e.message());
    }
}
