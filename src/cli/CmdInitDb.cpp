#include "cli/CliCommon.h"
#include "core/storage/DatabaseSchema.h"

int CmdInitDb(const QStringList& args)
{
    if (args.size() > 1) {
        err() << "usage: nilocheque init-db [FILE]\n";
        return 2;
    }
    const QString path = args.isEmpty() ? QString::fromLatin1(kDatabaseFileName) : args.first();
    const QString error = CreateDatabase(path);
    if (!error.isEmpty()) {
        err() << "nilocheque: " << error << '\n';
        return 1;
    }
    out() << "created " << path << '\n';
    return 0;
}
