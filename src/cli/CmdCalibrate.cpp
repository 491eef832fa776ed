// nilocheque calibrate: a printer's feeding error in millimetres, shown or stored.
#include "cli/CliCommon.h"
#include "core/errors/AppError.h"
#include "core/storage/CalibrationStore.h"
#include "core/storage/DataFolder.h"
#include "core/storage/Database.h"
#include "core/text/TextChecks.h"

#include <QMap>

using namespace Qt::StringLiterals;

namespace {

const char kUsage[] =
    "usage: nilocheque calibrate --printer NAME [--x MM --y MM] [--database FILE]\n"
    "  Without --x/--y: shows the printer's stored offset. With them: stores it (each from -25\n"
    "  to 25 mm, kept to a tenth; + moves the texts right and down). 0,0 removes it.\n";

int fail(const QString& message)
{
    err() << "nilocheque calibrate: " << message << '\n';
    return 1;
}

} // namespace

int CmdCalibrate(const QStringList& args)
{
    QMap<QString, QString> opts;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--help"_s) {
            out() << kUsage;
            return 0;
        }
        if ((a != u"--printer"_s && a != u"--x"_s && a != u"--y"_s && a != u"--database"_s) ||
            i + 1 >= args.size()) {
            err() << kUsage;
            return 2;
        }
        opts[a] = args[++i];
    }
    const QString printer = opts.value(u"--printer"_s);
    if (printer.isEmpty())
        return fail(u"--printer NAME is required"_s);
    if (opts.contains(u"--x"_s) != opts.contains(u"--y"_s))
        return fail(u"give both --x and --y"_s);
    PrinterCalibration c;
    const bool setting = opts.contains(u"--x"_s);
    if (setting) {
        bool okX = false, okY = false;
        c = {ToLatinDigits(opts[u"--x"_s]).trimmed().toDouble(&okX),
             ToLatinDigits(opts[u"--y"_s]).trimmed().toDouble(&okY)};
        if (!okX || !okY || !IsValidCalibration(c))
            return fail(u"--x and --y take millimetres from -25 to 25"_s);
    }
    const QString database = opts.value(u"--database"_s, DefaultDatabasePath());
    try {
        Database dm(Database::File{database});
        if (!dm.isOpened())
            return fail(u"cannot open the database %1"_s.arg(database));
        if (setting)
            SaveCalibration(dm.connection(), printer, c);
        const PrinterCalibration stored = ReadCalibration(dm.connection(), printer);
        out() << printer << '\t' << QString::number(stored.xMm, 'f', 1) << '\t'
              << QString::number(stored.yMm, 'f', 1) << '\n';
        return 0;
    } catch (const AppError& e) {
        return fail(e.message());
    }
}
