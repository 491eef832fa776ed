#include "core/storage/DatabaseSchema.h"

#include "core/storage/ChequeRegister.h"
#include "core/storage/CalibrationStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// AUTOINCREMENT gives the first row of an empty table the key 1, which the single-row
// settings tables rely on, and never reuses the key of a deleted account.
const char* const kSchema[] = {
    "create table tblAccountMst ("
    " Id integer primary key autoincrement,"
    " Radif integer,"
    " BankName text check (length(BankName) <= 100),"
    " BankBranchName text check (length(BankBranchName) <= 100),"
    " BankBranchCode text check (length(BankBranchCode) <= 50),"
    " AccountName text check (length(AccountName) <= 100),"
    " AccountNo text check (length(AccountNo) <= 50))",
    "create index ixAccountMstRadif on tblAccountMst (Radif)",
    "create table tblChequeImage ("
    " Id integer primary key autoincrement,"
    " AccountMstId integer not null,"
    " Image blob)",
    "create unique index ixChequeImageAccount on tblChequeImage (AccountMstId)",
    "create table tblItemsPrvt ("
    " Id integer primary key autoincrement,"
    " AccountMstId integer not null,"
    " ItemId integer not null,"
    " SideMargin integer,"
    " UpMargin integer,"
    " Width integer,"
    " FSize integer,"
    " FName text,"
    " FStyle text,"
    " DoPrint boolean,"
    " PrintTumans boolean,"
    " unique (AccountMstId, ItemId))",
    "create index ixItemsPrvtAccount on tblItemsPrvt (AccountMstId)",
    "create table tblBackground ("
    " Id integer primary key autoincrement,"
    " BackImage blob)",
    "create table tblTheme ("
    " Id integer primary key autoincrement,"
    " ThemeId integer)",
    kCalibrationTableSql,
    kRegisterTableSql,
    kRegisterDueIndexSql,
    kRegisterSayadIndexSql,
};

} // namespace

QString CreateDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return QStringLiteral("%1 already exists; it is left as it is").arg(path);

    const QString name = QStringLiteral("init-db-") + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            db.transaction();
            for (const char* statement : kSchema) {
                if (!q.exec(QString::fromLatin1(statement))) {
                    error = q.lastError().text();
                    break;
                }
            }
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        QFile::remove(path);
    return error.isEmpty() ? QString() : QStringLiteral("cannot create %1: %2").arg(path, error);
}
