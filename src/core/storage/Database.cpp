#include "core/storage/Database.h"

#include "core/errors/AppError.h"
#include "core/storage/DatabaseSchema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

Database* programDatabase = nullptr;

namespace {

const QString kBackgroundStatement = QStringLiteral("select * from tblBackground where Id = :InId");
const QString kThemeStatement = QStringLiteral("select *  from tblTheme where Id = :InId");

int connectionSerial = 0;

[[noreturn]] void throwSqlError(const QString& sentence, const QSqlError& error)
{
    throw AppError(DatabaseErrorText(sentence, error.text()));
}

} // namespace

Database::Database(const QString& folder, QObject* parent)
    : QObject(parent), connectionName_(QStringLiteral("ADOConnection1-%1").arg(++connectionSerial))
{
    const QString dir = folder.isEmpty() ? QDir::currentPath() : folder;
    open(QDir(dir).filePath(QString::fromLatin1(kDatabaseFileName)));
}

Database::Database(const File& file, QObject* parent)
    : QObject(parent), connectionName_(QStringLiteral("ADOConnection1-%1").arg(++connectionSerial))
{
    open(QFileInfo(file.path).absoluteFilePath());
}

void Database::open(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    // "mode=rw" opens an existing file only: the program never creates the database.
    db.setDatabaseName(QUrl::fromLocalFile(path).toString() + QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000"));

    bool ok = QFileInfo(path).isFile() && db.open();
    if (ok) {
        // The opening test: the query proves tblBackground and its Id exist (and that the
        // file is a database at all); with InId unset it matches no row.
        QSqlQuery probe(db);
        ok = probe.prepare(kBackgroundStatement);
        if (ok) {
            probe.bindValue(QStringLiteral(":InId"), QVariant());
            ok = probe.exec();
        }
    }
    opened_ = ok;
    if (!programDatabase)
        programDatabase = this;
}

Database::~Database()
{
    if (programDatabase == this)
        programDatabase = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

QVariant Database::readSetting(const QString& statement, const QString& column) const
{
    QSqlQuery q(connection());
    if (!q.prepare(statement))
        throwSqlError(DatabaseReadFailed(), q.lastError());
    q.bindValue(QStringLiteral(":InId"), 1);
    if (!q.exec())
        throwSqlError(DatabaseReadFailed(), q.lastError());
    if (!q.next())
        return {};
    return q.value(column);
}

void Database::writeSetting(const QString& table, const QString& statement, const QString& column,
                            const QVariant& value)
{
    QSqlQuery q(connection());
    if (!q.prepare(statement))
        throwSqlError(DatabaseWriteFailed(), q.lastError());
    q.bindValue(QStringLiteral(":InId"), 1);
    if (!q.exec())
        throwSqlError(DatabaseWriteFailed(), q.lastError());
    const bool exists = q.next();
    q.finish();
    // Only the wanted column is written; an appended row takes its Id from the database.
    const QString sql =
        exists ? QStringLiteral("update %1 set %2 = :value where Id = 1").arg(table, column)
               : QStringLiteral("insert into %1 (%2) values (:value)").arg(table, column);
    if (!q.prepare(sql))
        throwSqlError(DatabaseWriteFailed(), q.lastError());
    q.bindValue(QStringLiteral(":value"), value);
    if (!q.exec())
        throwSqlError(DatabaseWriteFailed(), q.lastError());
}

QByteArray Database::readBackImage() const
{
    return readSetting(kBackgroundStatement, QStringLiteral("BackImage")).toByteArray();
}

void Database::writeBackImage(const QByteArray& packed)
{
    writeSetting(QStringLiteral("tblBackground"), kBackgroundStatement, QStringLiteral("BackImage"),
                 packed);
}

std::optional<int> Database::readThemeId() const
{
    const QVariant v = readSetting(kThemeStatement, QStringLiteral("ThemeId"));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const int id = v.toInt(&ok);
    return ok ? std::optional<int>(id) : std::optional<int>(0);
}

void Database::writeThemeId(int themeId)
{
    writeSetting(QStringLiteral("tblTheme"), kThemeStatement, QStringLiteral("ThemeId"), themeId);
}
