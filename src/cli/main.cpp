// nilocheque: the program's command-line tool, for people and scripts.
#include "cli/CliCommon.h"
#include "render/Fonts.h"

#include <QApplication>
#include <iterator>

namespace {

const CliCommand kCommands[] = {
    {"init-db", "init-db [FILE]  create an empty database (default ./NiloChequePrint.mdb)",
     CmdInitDb},
    {"words",
     "words [--cheque] TEXT...  amounts in Persian words (--cheque: the four cheque texts)",
     CmdWords},
    {"date", "date VALUE...  Jalali text, Gregorian date, day number, weekday and words of dates",
     CmdDate},
    {"format", "format PATTERN VALUE [TIME]  a date formatted with a Jalali pattern", CmdFormat},
    {"print",
     "print --account ID [...]  print one cheque (or write it to --pdf FILE); print --help",
     CmdPrint},
    {"calibrate",
     "calibrate --printer NAME [--x MM --y MM]  a printer's stored offset; calibrate --help",
     CmdCalibrate},
    {"register",
     "register [--account ID] [--from DATE] [--to DATE] [--status S] [--csv] | void ID --reason"
     " TEXT  the issued cheques",
     CmdRegister},
    {"series",
     "series --account ID --payee TEXT --amount TEXT --count N --first DATE [...]  instalment"
     " cheques; series --help",
     CmdSeries},
    {"batch", "batch FILE.csv (--pdf DIR | --printer NAME)  cheques from a file; batch --help",
     CmdBatch},
    {"backup", "backup FILE  a checked copy of the database, safe while the program runs",
     CmdBackup},
    {"layout", "layout export|import ...  share an account's cheque layout; layout --help",
     CmdLayout},
};

int usage(QTextStream& stream, int code)
{
    stream << "usage: nilocheque COMMAND [ARGS...]\n\ncommands:\n";
    for (const CliCommand& c : kCommands)
        stream << "  " << c.summary << '\n';
    stream.flush();
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    // Painting a cheque page needs fonts and a paint device, never a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window's fonts, so that the tool measures and paints every text as the window does.
    RegisterProgramFonts();
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(err(), 2);
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help"))
        return usage(out(), 0);
    for (const CliCommand& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            const int code = c.run(args);
            out().flush();
            err().flush();
            return code;
        }
    }
    err() << "nilocheque: unknown command '" << name << "'\n";
    return usage(err(), 2);
}
