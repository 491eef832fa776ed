// Start-up paths: the single-instance rule, a missing database, the main window.
#include "app/OneCopyMutex.h"
#include "app/Startup.h"
#include "core/storage/DataFolder.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/common/MessageBox.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class Startup : public QObject
{
    Q_OBJECT
    QTemporaryDir runtime_;
    QTemporaryDir data_;
    QTemporaryDir xdg_;
    QList<ShownMessage> shown_;
    bool answer_ = true; // the answer to a question

    QString userDatabase() const { return xdg_.filePath(u"NiloChequePrint/NiloChequePrint.mdb"_s); }

    int run(const StartupHooks& hooks = {})
    {
        QDir::setCurrent(data_.path());
        char name[] = "NiloChequePrint";
        char* argv[] = {name, nullptr};
        int argc = 1;
        return RunProgram(argc, argv, hooks);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_DATA_HOME", xdg_.path().toUtf8());
        DialogSeam::setMessageHook([this](const ShownMessage& m) {
            shown_ << m;
            return m.kind == MessageKind::Confirmation ? answer_ : true;
        });
    }
    void init() { shown_.clear(); }

    void withoutDatabaseRefusingToCreateOneShowsTheError()
    {
        answer_ = false;
        bool windowShown = false;
        QCOMPARE(run({[&](MainWindow&) { windowShown = true; }}), 0);
        QVERIFY(!windowShown);
        QCOMPARE(shown_.size(), 2);
        QCOMPARE(shown_[0].kind, MessageKind::Confirmation);
        QVERIFY(shown_[0].text.contains(u"يك بانك اطلاعات خالي در اين پوشه ساخته شود؟"_s));
        QVERIFY(shown_[0].text.endsWith(userDatabase()));
        // Its own words, then the full paths where the file was looked for.
        QCOMPARE(shown_[1].text, u"اشکال در ارتباط با بانک اطلاعات\n"_s +
                                     data_.filePath(u"NiloChequePrint.mdb"_s) + u'\n' +
                                     userDatabase());
        QCOMPARE(shown_[1].kind, MessageKind::Error);
        QVERIFY(!QFile::exists(data_.filePath(u"NiloChequePrint.mdb"_s)));
        QVERIFY(!QFile::exists(userDatabase()));
    }

    // Started from the menu: an empty database is made in the user's data folder, which
    // becomes the folder the program works in (its settings file lands there too).
    void withoutDatabaseAcceptingCreatesOneInTheUserDataFolder()
    {
        answer_ = true;
        QString workingFolder;
        QCOMPARE(run({[&](MainWindow&) {
                     workingFolder = QDir::currentPath();
                     QApplication::quit();
                 }}),
                 0);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].kind, MessageKind::Confirmation);
        QVERIFY(QFile::exists(userDatabase()));
        QCOMPARE(workingFolder, xdg_.filePath(u"NiloChequePrint"_s));
        QVERIFY(!QFile::exists(data_.filePath(u"NiloChequePrint.mdb"_s)));
        // The second start asks nothing.
        shown_.clear();
        bool windowShown = false;
        QCOMPARE(run({[&](MainWindow&) { windowShown = true, QApplication::quit(); }}), 0);
        QVERIFY(windowShown);
        QVERIFY(shown_.isEmpty());
    }

    void aSecondCopyIsRefused()
    {
        QVERIFY(CreateDatabase(data_.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        OneCopyMutex first; // another copy holds the lock
        QVERIFY(!first.heldByAnother());
        bool windowShown = false;
        QCOMPARE(run({[&](MainWindow&) { windowShown = true; }}), 0);
        QVERIFY(!windowShown);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, u"برنامه در حال اجراست"_s);
        QCOMPARE(shown_[0].caption, u"اخـــطـــار"_s);
    }

    void withDatabaseTheMainWindowIsShownMaximised()
    {
        bool windowShown = false;
        const int code = run({[&](MainWindow& w) {
            // The loop ends however the checks go, so that a failed one ends the test.
            const auto quit = qScopeGuard([] { QApplication::quit(); });
            windowShown = true;
            QVERIFY(w.windowState().testFlag(Qt::WindowMaximized));
            // Maximised in fact, not only in name: the window fills the screen's work area.
            QVERIFY(w.frameGeometry().contains(w.screen()->availableGeometry()));
            QCOMPARE(w.layoutDirection(), Qt::RightToLeft);
            QVERIFY(w.mdiArea());
            QCOMPARE(QCoreApplication::applicationName(), u"چاپ چك نيلو"_s);
        }});
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(code, 0);
        QVERIFY(windowShown);
        QVERIFY(shown_.isEmpty());
    }

    // The current folder's database wins over the user's data folder.
    void theCurrentFoldersDatabaseWins()
    {
        QVERIFY(QFile::exists(userDatabase()));
        QString workingFolder;
        QCOMPARE(run({[&](MainWindow&) {
                     workingFolder = QDir::currentPath();
                     QApplication::quit();
                 }}),
                 0);
        QCOMPARE(workingFolder, QDir(data_.path()).canonicalPath());
    }

    void theHelpFileIsFoundInTheDataFolderBesideTheProgramOrInstalled()
    {
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        const QString exe = QCoreApplication::applicationDirPath();
        QDir::setCurrent(data_.path());
        QCOMPARE(HelpFileFolders(),
                 (QStringList{QDir::currentPath(), exe,
                              QDir::cleanPath(exe + u"/../share/NiloChequePrint"_s)}));
        QFile::remove(u"NiloChequePrint.chm"_s);
        const QString beside = FindHelpFile();
        QVERIFY(beside.isEmpty() || !beside.startsWith(QDir::currentPath()));
        QFile chm(u"NiloChequePrint.chm"_s);
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        QCOMPARE(FindHelpFile(), QDir::current().absoluteFilePath(u"NiloChequePrint.chm"_s));
        QFile::remove(u"NiloChequePrint.chm"_s);
    }
};

QTEST_APPLESS_MAIN(Startup)
#include "test_startup.moc"
