// nilocheque backup: a consistent, checked copy of the database, safe while the program runs.
#include "cli/CliCommon.h"
#include "core/storage/DataFolder.h"
#include "core/storage/DatabaseBackup.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const char kUsage[] = "usage: nilocheque backup FILE [--database FILE]\n"
                      "  Writes a copy of the database to FILE (whole or not at all), checked\n"
                      "  with SQLite's integrity_check before it is reported as made.\n";
} // namespace

int CmdBackup(const QStringList& args)
{
    QString database = DefaultDatabasePath();
    QString target;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--help"_s) {
            out() << kUsage;
            return 0;
        }
        if (a == u"--database"_s && i + 1 < args.size()) {
            database = args[++i];
        } else if (!a.startsWith(u"--"_s) && target.isEmpty()) {
            target = a;
        } else {
            err() << kUsage;
            return 2;
        }
    }
    if (target.isEmpty()) {
        err() << kUsage;
        return 2;
    }
    const QString error = BackupDatabase(database, target);
    if (!error.isEmpty()) {
        err() << "nilocheque backup: " << error << '\n';
        return 1;
    }
    out() << "backed up " << QFileInfo(database).absoluteFilePath() << " to "
          << QFileInfo(target).absoluteFilePath() << '\n';
    return 0;
}
