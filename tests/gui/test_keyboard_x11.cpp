// The keyboard follows the field on X11: a private Xvfb with the layouts "us,ir"; focusing a
// right-to-left field makes the "ir" group active, a left-to-right one leaves it alone, and
// the setting turns the switching off. NILO_SHOTS=DIR keeps a picture of the window.
#include "core/storage/IniFile.h"
#include "gui/common/KeyboardLayout.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <X11/XKBlib.h>

using namespace Qt::StringLiterals;

namespace {

// The display's locked XKB group, read over a connection of the test's own.
int activeGroup()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return -1;
    XkbStateRec state;
    const int group = XkbGetState(d, XkbUseCoreKbd, &state) == Success ? state.locked_group : -1;
    XCloseDisplay(d);
    return group;
}

void setGroup(int group)
{
    Display* d = XOpenDisplay(nullptr);
    XkbLockGroup(d, XkbUseCoreKbd, unsigned(group));
    XSync(d, False);
    XCloseDisplay(d);
}

} // namespace

class KeyboardX11 : public QObject
{
    Q_OBJECT

private slots:
    void layoutNamesAndGroups_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("group");
        QTest::newRow("second") << u"us,ir"_s << u"ir"_s << 1;
        QTest::newRow("first") << u"ir,us"_s << u"ir"_s << 0;
        QTest::newRow("blanks") << u"us, ir ,de"_s << u"ir"_s << 1;
        QTest::newRow("absent") << u"us,de"_s << u"ir"_s << -1;
        QTest::newRow("empty") << QString() << u"ir"_s << -1;
        QTest::newRow("past the four groups") << u"us,de,fr,ara,ir"_s << u"ir"_s << -1;
    }
    void layoutNamesAndGroups()
    {
        QFETCH(QString, list);
        QFETCH(QString, layout);
        QFETCH(int, group);
        QCOMPARE(LinuxKeyboardLayer::groupOf(list, layout), group);
        QCOMPARE(LinuxKeyboardLayer::xkbLayoutOf(u"00000429"_s), u"ir"_s);
    }

    void theSettingTurnsItOff()
    {
        QTemporaryDir dir;
        QVERIFY(KeyboardFollowsFieldSetting(dir.path())); // no file: on
        WriteIniString(u"/NiloChequePrint.ini"_s, dir.path(), u"Keyboard"_s, u"FollowField"_s,
                       u"0"_s);
        QVERIFY(!KeyboardFollowsFieldSetting(dir.path()));
    }

    void focusingAPersianFieldSelectsTheIrGroup()
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP("needs Xvfb and setxkbmap (x11-xkb-utils)");
        QWidget window;
        window.setLayoutDirection(Qt::RightToLeft);
        auto* column = new QVBoxLayout(&window);
        auto* payee = new QLineEdit(&window); // reads right to left
        payee->setObjectName(u"edtPayee"_s);
        auto* amount = new QLineEdit(&window);
        amount->setLayoutDirection(Qt::LeftToRight);
        auto* status = new QLabel(&window);
        column->addWidget(payee);
        column->addWidget(amount);
        column->addWidget(status);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        SetRightToLeftKeyboardLayout(*qApp, u"00000429"_s);
        QVERIFY(keyboardLayer().supportsRightToLeft());

        setGroup(0);
        amount->setFocus();
        QTRY_VERIFY(amount->hasFocus());
        QTest::qWait(100);
        QCOMPARE(activeGroup(), 0); // a left-to-right field leaves the layout alone
        payee->setFocus();
        QTRY_COMPARE(activeGroup(), 1);
        amount->setFocus();
        QTest::qWait(100);
        QCOMPARE(activeGroup(), 1);

        payee->setFocus();
        status->setText(u"گروه فعال صفحه كليد: %1 (ir)"_s.arg(activeGroup()));
        QTest::qWait(100);
        if (const QString dir = qEnvironmentVariable("NILO_SHOTS"); !dir.isEmpty())
            window.grab().save(dir + u"/keyboard_x11.png"_s);

        // Turned off: the layer never switches.
        setKeyboardLayer(std::make_unique<StillKeyboardLayer>());
        setGroup(0);
        amount->setFocus();
        payee->setFocus();
        QTest::qWait(200);
        QCOMPARE(activeGroup(), 0);
        setKeyboardLayer(nullptr);
    }
};

// A private X server with the two layouts, when this machine has one; otherwise the X11 case
// skips and the rest runs offscreen. -noreset: the server would drop the keymap when setxkbmap,
// its only client, disconnects.
int main(int argc, char** argv)
{
    QProcess xvfb;
    const QString xvfbPath = QStandardPaths::findExecutable(u"Xvfb"_s);
    const QString setxkbmap = QStandardPaths::findExecutable(u"setxkbmap"_s);
    bool x11 = false;
    if (!xvfbPath.isEmpty() && !setxkbmap.isEmpty()) {
        xvfb.start(xvfbPath, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"640x480x24"_s,
                              u"-nolisten"_s, u"tcp"_s, u"-noreset"_s});
        if (xvfb.waitForReadyRead(10000)) {
            const QByteArray display = ":" + xvfb.readLine().trimmed();
            qputenv("DISPLAY", display);
            x11 = QProcess::execute(setxkbmap, {u"-layout"_s, u"us,ir"_s}) == 0;
        }
    }
    qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen");
    int code = 0;
    {
        QApplication app(argc, argv);
        KeyboardX11 test;
        code = QTest::qExec(&test, argc, argv);
    }
    // The layer's own display connection goes before its server does.
    setKeyboardLayer(std::make_unique<StillKeyboardLayer>());
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return code;
}
#include "test_keyboard_x11.moc"
