// nilocheque layout: an account's cheque layout exported to one file or imported from one.
#include "cli/CliCommon.h"
#include "core/storage/DataFolder.h"
#include "core/storage/Database.h"
#include "core/text/TextChecks.h"
#include "render/LayoutShare.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const char kUsage[] =
    "usage: nilocheque layout export --account ID FILE [--database FILE]\n"
    "       nilocheque layout import FILE --account ID [--database FILE]\n"
    "  export writes the account's layout rows and cheque picture to FILE (a zip);\n"
    "  import checks FILE whole and replaces the account's layout with it, or changes nothing.\n";

int usage()
{
    err() << kUsage;
    return 2;
}
} // namespace

int CmdLayout(const QStringList& args)
{
    if (args.value(0) == u"--help"_s) {
        out() << kUsage;
        return 0;
    }
    const QString action = args.value(0);
    if (action != u"export"_s && action != u"import"_s)
        return usage();
    QString database = DefaultDatabasePath(), file, account;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--database"_s && i + 1 < args.size())
            database = args[++i];
        else if (a == u"--account"_s && i + 1 < args.size())
            account = args[++i];
        else if (!a.startsWith(u"--"_s) && file.isEmpty())
            file = a;
        else
            return usage();
    }
    bool ok = false;
    const int accountId = ToLatinDigits(account).trimmed().toInt(&ok);
    if (file.isEmpty() || !ok || accountId <= 0)
        return usage();

    Database dm(Database::File{database});
    if (!dm.isOpened()) {
        err() << "nilocheque layout: cannot open the database " << database << '\n';
        return 1;
    }
    const QString error = action == u"export"_s
                              ? ExportLayout(dm.connection(), accountId, file,
                                             {QFileInfo(database).absoluteFilePath()})
                              : ImportLayout(dm.connection(), accountId, file);
    if (!error.isEmpty()) {
        err() << "nilocheque layout: " << error << '\n';
        return 1;
    }
    out() << (action == u"export"_s ? "exported account " : "imported into account ") << accountId
          << (action == u"export"_s ? " to " : " from ") << QFileInfo(file).absoluteFilePath()
          << '\n';
    return 0;
}
