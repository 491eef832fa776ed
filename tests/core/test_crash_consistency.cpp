// A writer killed with SIGKILL at random moments leaves a sound database: the integrity
// check passes and every layout, account, deletion and setting is entirely the old one or
// entirely the new one.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/LayoutStore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>

using namespace Qt::StringLiterals;

class CrashConsistency : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString db_;

    // Starts the writer, lets it run a random while, kills it, and checks the file.
    template <class Check> void killAtRandomPoints(const QString& scenario, int rounds, Check check)
    {
        const QString writer = qEnvironmentVariable("CRASH_WRITER");
        if (writer.isEmpty())
            QSKIP("run under ctest");
        QRandomGenerator random(20261210);
        for (int round = 0; round < rounds; ++round) {
            QProcess p;
            p.start(writer, {db_, scenario});
            QVERIFY(p.waitForReadyRead(10000));
            QThread::usleep(random.bounded(1000, 60000));
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            Database dm(Database::File{db_});
            QVERIFY(dm.isOpened());
            QSqlQuery q(dm.connection());
            QVERIFY(q.exec(u"pragma integrity_check"_s) && q.next());
            QCOMPARE(q.value(0).toString(), u"ok"_s);
            check(dm);
            if (QTest::currentTestFailed())
                return;
        }
    }

private slots:
    void init()
    {
        db_ = dir_.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".mdb"_s);
        QVERIFY(CreateDatabase(db_).isEmpty());
        Database dm(Database::File{db_});
        QVERIFY(QSqlQuery(dm.connection())
                    .exec(u"insert into tblAccountMst (BankName) values ('v0')"_s));
    }

    void layoutSaveIsAllOrNothing()
    {
        killAtRandomPoints(u"layout"_s, 100, [](Database& dm) {
            const ChequeLayout layout = ReadLayout(dm.connection(), 1);
            if (!layout.hasRows) {
                QVERIFY(layout.pictureJpeg.isEmpty());
                return;
            }
            const int v = layout.general().upMargin;
            for (int id = 1; id <= kLayoutRowCount; ++id) {
                QVERIFY(layout.present[id - 1]);
                QCOMPARE(layout.item(id).sideMargin, v * 1000 + id);
                QCOMPARE(layout.item(id).width, v);
            }
            QCOMPARE(layout.pictureJpeg, QByteArray(200000 + v, char('A' + v % 20)));
            QSqlQuery q(dm.connection());
            QVERIFY(q.exec(u"select count(*) from tblItemsPrvt"_s) && q.next());
            QCOMPARE(q.value(0).toInt(), kLayoutRowCount);
        });
    }

    void accountSaveIsAllOrNothing()
    {
        killAtRandomPoints(u"account"_s, 50, [](Database& dm) {
            QSqlQuery q(dm.connection());
            QVERIFY(q.exec(
                u"select BankName, BankBranchName, BankBranchCode, AccountName, AccountNo, Radif from tblAccountMst"_s));
            QVERIFY(q.next());
            const QString name = q.value(0).toString();
            for (int c = 1; c < 5; ++c)
                QCOMPARE(q.value(c).toString(), name == u"v0"_s ? QString() : name);
            if (name != u"v0"_s)
                QCOMPARE(u"v"_s + q.value(5).toString(), name);
            QVERIFY(!q.next());
        });
    }

    void accountDeleteTakesItsLayoutAlong()
    {
        killAtRandomPoints(u"delete"_s, 50, [](Database& dm) {
            QSqlQuery q(dm.connection());
            QVERIFY(q.exec(u"select Id from tblAccountMst where Id <> 1"_s));
            QSet<int> accounts;
            while (q.next())
                accounts.insert(q.value(0).toInt());
            // Accounts killed before their deletion remain; each either without a layout or
            // with a whole one. Rows and pictures belong to living accounts only, ten rows to a
            // layout.
            QVERIFY(
                q.exec(u"select AccountMstId, count(*) from tblItemsPrvt group by AccountMstId"_s));
            while (q.next()) {
                QVERIFY(accounts.contains(q.value(0).toInt()));
                QCOMPARE(q.value(1).toInt(), kLayoutRowCount);
            }
            QVERIFY(q.exec(u"select AccountMstId from tblChequeImage"_s));
            while (q.next())
                QVERIFY(accounts.contains(q.value(0).toInt()));
        });
    }

    void backgroundAndThemeWritesAreWhole()
    {
        killAtRandomPoints(u"background"_s, 50, [](Database& dm) {
            const QByteArray stored = dm.readBackImage();
            if (stored.isEmpty())
                return;
            QByteArray picture;
            UnpackImageStream(stored, picture);
            QVERIFY(picture.size() > 200000 && picture.size() <= 200007);
            const int v = int(picture.size() - 200000);
            QCOMPARE(picture, QByteArray(200000 + v, char('A' + v % 20)));
            const std::optional<int> theme = dm.readThemeId();
            // The theme is its own write: absent before the first one landed, else whole.
            QVERIFY(!theme.has_value() || (*theme >= 1 && *theme <= 7));
        });
    }
};

QTEST_GUILESS_MAIN(CrashConsistency)
#include "test_crash_consistency.moc"
