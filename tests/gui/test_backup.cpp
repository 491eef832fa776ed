// The database backup: a consistent copy while the program writes, checked, whole or nothing;
// from the main window and from the tool.
#include "core/storage/Database.h"
#include "core/storage/DatabaseBackup.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/common/MessageBox.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The ThemeId stored in a database file, read over a connection of its own.
QVariant themeIdIn(const QString& path)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(u"select ThemeId from tblTheme where Id = 1"_s, db);
            if (q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return value;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class Backup : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString db_;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        db_ = dir_.filePath(u"NiloChequePrint.mdb"_s);
        QVERIFY(CreateDatabase(db_).isEmpty());
    }

    // The program holds an open write transaction: the copy is the last committed state, and
    // a second backup over the first replaces it whole.
    void copyWhileTheProgramWritesHoldsTheCommittedState()
    {
        Database dm(Database::File{db_});
        QVERIFY(dm.isOpened());
        dm.writeThemeId(3);
        QSqlDatabase c = dm.connection();
        QVERIFY(c.transaction());
        QSqlQuery q(c);
        QVERIFY2(q.exec(u"update tblTheme set ThemeId = 7 where Id = 1"_s),
                 qPrintable(q.lastError().text()));

        const QString copy = dir_.filePath(u"copy.mdb"_s);
        QCOMPARE(BackupDatabase(db_, copy), QString());
        QCOMPARE(themeIdIn(copy).toInt(), 3);

        QVERIFY(c.commit());
        QCOMPARE(BackupDatabase(db_, copy), QString());
        QCOMPARE(themeIdIn(copy).toInt(), 7);
        QCOMPARE(DatabaseFileOf(c.databaseName()), QFileInfo(db_).absoluteFilePath());
    }

    // Refused before anything is written: the old target keeps its bytes, nothing is created.
    void refusedTargetsAndSourcesChangeNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetExists");
        const QString garbage = dir_.filePath(u"garbage.mdb"_s);
        QFile g(garbage);
        QVERIFY(g.open(QIODevice::WriteOnly) && g.write(QByteArray(4096, 'x')) == 4096);
        g.close();
        QDir(dir_.path()).mkdir(u"folder"_s);
        QTest::newRow("the database itself") << db_ << db_ << true;
        QTest::newRow("the database by another spelling")
            << db_ << dir_.filePath(u"folder/../NiloChequePrint.mdb"_s) << true;
        QTest::newRow("a folder") << db_ << dir_.filePath(u"folder"_s) << true;
        QTest::newRow("a device") << db_ << u"/dev/null"_s << true;
        QTest::newRow("no database")
            << dir_.filePath(u"none.mdb"_s) << dir_.filePath(u"old.mdb"_s) << true;
        QTest::newRow("not a database") << garbage << dir_.filePath(u"old.mdb"_s) << true;
        QTest::newRow("not a database, new target")
            << garbage << dir_.filePath(u"new.mdb"_s) << false;
    }
    void refusedTargetsAndSourcesChangeNothing()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, targetExists);
        const QString old = dir_.filePath(u"old.mdb"_s);
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("old bytes") > 0);
        f.close();
        const QByteArray databaseBefore = readAll(db_);

        const QString error = BackupDatabase(source, target);
        QVERIFY(error.startsWith(u"نسخه پشتيبان بانك اطلاعات ساخته نشد."_s));
        QCOMPARE(QFileInfo::exists(target), targetExists);
        QCOMPARE(readAll(old), QByteArray("old bytes"));
        QCOMPARE(readAll(db_), databaseBefore);
    }

    void theToolBacksUp()
    {
        const QString tool = qEnvironmentVariable("NILOCHEQUE");
        if (tool.isEmpty())
            QSKIP("run under ctest");
        const auto run = [&](const QStringList& args, QString* errors = nullptr) {
            QProcess p;
            p.start(tool, QStringList{u"backup"_s} + args);
            p.waitForFinished(30000);
            if (errors)
                *errors = QString::fromUtf8(p.readAllStandardError());
            return p.exitCode();
        };
        const QString copy = dir_.filePath(u"tool.mdb"_s);
        QCOMPARE(run({u"--database"_s, db_, copy}), 0);
        QCOMPARE(themeIdIn(copy).toInt(), 7);
        QString errors;
        QCOMPARE(run({db_, u"--database"_s, db_}, &errors), 1);
        QVERIFY2(errors.contains(u"نسخه پشتيبان بانك اطلاعات ساخته نشد."_s), qPrintable(errors));
        QCOMPARE(run({}), 2);
    }

    void theMainWindowsItemBacksUpAndReports()
    {
        QList<ShownMessage> shown;
        DialogSeam::setMessageHook([&](const ShownMessage& m) { return shown << m, true; });
        Database dm(Database::File{db_});
        const QString saved = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        auto w = std::make_unique<MainWindow>();
        w->show();
        const QString copy = dir_.filePath(u"window.mdb"_s);
        QString suggested;
        DialogSeam::setSaveFileHook([&](const QString&, const QString& s) {
            suggested = s;
            return copy;
        });
        w->findChild<QPushButton*>(u"itemBackup"_s)->click();
        QVERIFY(suggested.startsWith(dir_.path() + u"/NiloChequePrint-"_s));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageKind::Information);
        QVERIFY(shown[0].text.endsWith(copy));
        QCOMPARE(themeIdIn(copy).toInt(), 7);

        // Onto the open database itself: refused, in Persian, and the database unchanged.
        const QByteArray before = readAll(db_);
        DialogSeam::setSaveFileHook([&](const QString&, const QString&) { return db_; });
        w->findChild<QPushButton*>(u"itemBackup"_s)->click();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, MessageKind::Error);
        QCOMPARE(readAll(db_), before);
        DialogSeam::setSaveFileHook({});
        DialogSeam::setMessageHook({});
        w.reset();
        QDir::setCurrent(saved);
    }
};

QTEST_MAIN(Backup)
#include "test_backup.moc"
