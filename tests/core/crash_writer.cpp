// Writes to a database in a loop until it is killed; test_crash_consistency kills it at
// random moments and checks what is left.
//   crash_writer DBFILE layout|account|delete|background
#include "core/storage/AccountStore.h"
#include "core/storage/Database.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/LayoutStore.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <cstdio>

namespace {

// Version v of a layout: every column of every row says v, and so does the picture.
LayoutRows versionRows(int v)
{
    LayoutRows rows;
    for (int id = 1; id <= kLayoutRowCount; ++id)
        rows[id - 1] = {id,
                        v * 1000 + id,
                        v,
                        v,
                        v,
                        QStringLiteral("F%1").arg(v),
                        QStringLiteral("Regular"),
                        v % 2 == 1,
                        v % 2 == 1};
    return rows;
}

QByteArray versionPicture(int v)
{
    return QByteArray(200000 + v, char('A' + v % 20));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    Database dm(Database::File{QString::fromLocal8Bit(argv[1])});
    if (!dm.isOpened())
        return 3;
    const QByteArray scenario = argv[2];
    std::puts("ready");
    std::fflush(stdout);
    for (int v = 1;; v = v % 7 + 1) {
        if (scenario == "layout") {
            SaveLayout(dm.connection(), 1, versionRows(v), versionPicture(v));
        } else if (scenario == "account") {
            AccountStore store(dm.connection());
            store.open(1);
            AccountRecord r;
            r.id = 1;
            const QString t = QStringLiteral("v%1").arg(v);
            r.radif = v;
            r.bankName = r.bankBranchName = r.bankBranchCode = r.accountName = r.accountNo = t;
            store.store(r, false);
        } else if (scenario == "delete") {
            QSqlQuery q(dm.connection());
            q.exec(QStringLiteral("insert into tblAccountMst (BankName) values ('x')"));
            const int id = q.lastInsertId().toInt();
            SaveLayout(dm.connection(), id, versionRows(v), versionPicture(v));
            DeleteAccountWithLayout(dm.connection(), id);
        } else if (scenario == "background") {
            QByteArray packed;
            PackImageStream(versionPicture(v), packed);
            dm.writeBackImage(packed);
            dm.writeThemeId(v);
        } else {
            return 2;
        }
    }
}
