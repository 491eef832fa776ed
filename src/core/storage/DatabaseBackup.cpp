#include "core/storage/DatabaseBackup.h"

#include "core/storage/SafeFile.h"

#include <QFileInfo>
#include <QUrl>
#include <memory>
#include <sqlite3.h>

namespace {

struct CloseDatabase
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

QString failed(const QString& detail)
{
    return QStringLiteral("نسخه پشتيبان بانك اطلاعات ساخته نشد.") + u'\n' + detail;
}

QString sqliteWords(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

Database open(const QString& path, int flags, QString* reason)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK) {
        *reason = raw ? sqliteWords(raw) : QString::fromUtf8(sqlite3_errstr(rc));
        return nullptr;
    }
    // The program may be writing: wait for its transaction instead of failing at once.
    sqlite3_busy_timeout(db.get(), 5000);
    return db;
}

// "" when PRAGMA integrity_check answers a single "ok", else its first complaint.
QString integrityProblem(sqlite3* db)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &raw, nullptr) != SQLITE_OK)
        return sqliteWords(db);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    const int rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW)
        return sqliteWords(db);
    const QString first =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)));
    if (first != u"ok" || sqlite3_step(raw) == SQLITE_ROW)
        return first.isEmpty() ? QStringLiteral("integrity_check failed") : first;
    return {};
}

} // namespace

QString DatabaseFileOf(const QString& connectionDatabaseName)
{
    const QUrl url(connectionDatabaseName);
    if (url.isLocalFile())
        return url.toLocalFile();
    return connectionDatabaseName;
}

QString BackupDatabase(const QString& databasePath, const QString& targetPath)
{
    const QString source = QFileInfo(databasePath).absoluteFilePath();
    const QString target = QFileInfo(targetPath).absoluteFilePath();
    if (const QString refused = RefusedOutputPath(target, {source}); !refused.isEmpty())
        return failed(refused);
    if (!QFileInfo(source).isFile())
        return failed(QStringLiteral("بانك اطلاعات پيدا نشد: ") + source);

    QString reason;
    const Database from = open(source, SQLITE_OPEN_READONLY, &reason);
    if (!from)
        return failed(reason);
    const Database copy = open(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE, &reason);
    if (!copy)
        return failed(reason);
    // One step over every page: the copy is one consistent state of the database.
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", from.get(), "main");
    if (!backup)
        return failed(sqliteWords(copy.get()));
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK)
        return failed(
            QString::fromUtf8(sqlite3_errstr(stepped != SQLITE_DONE ? stepped : finished)));
    if (const QString problem = integrityProblem(copy.get()); !problem.isEmpty())
        return failed(QStringLiteral("نسخه پشتيبان سالم نيست: ") + problem);

    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(copy.get(), "main", &size, 0);
    if (!bytes)
        return failed(sqliteWords(copy.get()));
    const QByteArray image(reinterpret_cast<const char*>(bytes), qsizetype(size));
    sqlite3_free(bytes);
    if (!WriteFileWhole(target, image, QFileInfo(target).absolutePath(), &reason))
        return failed(reason);

    // What reached the disk is what is reported: read back and checked once more.
    const Database written = open(target, SQLITE_OPEN_READONLY, &reason);
    if (!written)
        return failed(reason);
    if (const QString problem = integrityProblem(written.get()); !problem.isEmpty())
        return failed(QStringLiteral("نسخه پشتيبان سالم نيست: ") + problem);
    return {};
}
