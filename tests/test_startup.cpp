// Start-up paths: the single-instance rule, a missing database, the main window.
#include "app/DatabaseSchema.h"
#include "app/OneCopyMutex.h"
#include "app/Startup.h"
#include "app/uMainUI.h"
#include "lib/Lib.h"

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
    QList<ShownMessage> shown_;

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
        DialogSeam::setMessageHook([this](const ShownMessage& m) { return shown_ << m, true; });
    }
    void init() { shown_.clear(); }

    void withoutDatabaseOnlyTheErrorIsShown()
    {
        bool windowShown = false;
        QCOMPARE(run({[&](TfrmMainUI&) { windowShown = true; }}), 0);
        QVERIFY(!windowShown);
        QCOMPARE(shown_.size(), 1);
        // Its own words, and on a second line the full path where the file is expected.
        QCOMPARE(shown_[0].text,
                 u"اشکال در ارتباط با بانک اطلاعات\n"_s +
                     QDir::toNativeSeparators(data_.filePath(u"NiloChequePrint.mdb"_s)));
        QCOMPARE(shown_[0].kind, MessageKind::Error);
        QVERIFY(!QFile::exists(data_.filePath(u"NiloChequePrint.mdb"_s)));
    }

    void aSecondCopyIsRefused()
    {
        QVERIFY(CreateDatabase(data_.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        OneCopyMutex first; // another copy holds the lock
        QVERIFY(!first.heldByAnother());
        bool windowShown = false;
        QCOMPARE(run({[&](TfrmMainUI&) { windowShown = true; }}), 0);
        QVERIFY(!windowShown);
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, u"برنامه در حال اجراست"_s);
        QCOMPARE(shown_[0].caption, u"اخـــطـــار"_s);
    }

    void withDatabaseTheMainWindowIsShownMaximised()
    {
        bool windowShown = false;
        const int code = run({[&](TfrmMainUI& w) {
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
};

QTEST_APPLESS_MAIN(Startup)
#include "test_startup.moc"
