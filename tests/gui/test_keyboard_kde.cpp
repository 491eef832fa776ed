// The keyboard follows the field on KDE Plasma under Wayland: a private session bus carries a
// stand-in for Plasma's keyboard-layout service; focusing a right-to-left field selects its
// "ir" layout by index, a left-to-right one selects nothing, and [Keyboard] FollowField=0
// turns the switching off.
#include "core/storage/IniFile.h"
#include "gui/common/KdeKeyboardLayer.h"
#include "gui/common/KeyboardLayout.h"

#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

struct FakeLayoutNames
{
    QString shortName, displayName, longName;
};
Q_DECLARE_METATYPE(FakeLayoutNames)

QDBusArgument& operator<<(QDBusArgument& arg, const FakeLayoutNames& n)
{
    arg.beginStructure();
    arg << n.shortName << n.displayName << n.longName;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, FakeLayoutNames& n)
{
    arg.beginStructure();
    arg >> n.shortName >> n.displayName >> n.longName;
    arg.endStructure();
    return arg;
}

// The desktop's side: the layouts it offers, and every index a program asked for.
class FakeKeyboardService : public QObject
{
    Q_OBJECT

public:
    QList<FakeLayoutNames> layouts{{u"us"_s, {}, u"English (US)"_s},
                                   {u"de"_s, {}, u"German"_s},
                                   {u"ir"_s, u"fa"_s, u"Persian"_s}};
    QList<uint> selected;
};

class FakeKeyboardAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KeyboardLayouts")

public:
    explicit FakeKeyboardAdaptor(FakeKeyboardService* service)
        : QDBusAbstractAdaptor(service), service_(service)
    {}

public slots:
    QList<FakeLayoutNames> getLayoutsList() const { return service_->layouts; }
    bool setLayout(uint index)
    {
        service_->selected << index;
        return index < uint(service_->layouts.size());
    }
    uint getLayout() const { return service_->selected.isEmpty() ? 0 : service_->selected.last(); }

private:
    FakeKeyboardService* service_;
};

class KeyboardKde : public QObject
{
    Q_OBJECT

    FakeKeyboardService service_;
    QDBusConnection desktop_{u"none"_s};

    struct Window
    {
        QWidget widget;
        QLineEdit* payee = nullptr;
        QLineEdit* amount = nullptr;
        Window()
        {
            widget.setLayoutDirection(Qt::RightToLeft);
            auto* column = new QVBoxLayout(&widget);
            payee = new QLineEdit(&widget); // reads right to left
            amount = new QLineEdit(&widget);
            amount->setLayoutDirection(Qt::LeftToRight);
            column->addWidget(payee);
            column->addWidget(amount);
            widget.show();
            QApplication::setActiveWindow(&widget);
        }
    };

    // Focuses the amount, then the payee, and gives the bus time to carry any call. forget:
    // what was asked for before the payee's turn (the first field takes the focus when the
    // window shows) is forgotten.
    void amountThenPayee(Window& w, bool forget)
    {
        w.amount->setFocus();
        QTRY_VERIFY(w.amount->hasFocus());
        QTest::qWait(200);
        if (forget)
            service_.selected.clear();
        w.payee->setFocus();
        QTRY_VERIFY(w.payee->hasFocus());
    }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<FakeLayoutNames>();
        qDBusRegisterMetaType<QList<FakeLayoutNames>>();
        // The desktop's own connection, apart from the program's session bus connection.
        desktop_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"desktop"_s);
        QVERIFY2(desktop_.isConnected(), "no private session bus (dbus-daemon, package dbus)");
        new FakeKeyboardAdaptor(&service_);
        QVERIFY(desktop_.registerObject(u"/Layouts"_s, &service_));
        QVERIFY(desktop_.registerService(u"org.kde.keyboard"_s));
    }

    void whichSessionsUseTheService_data()
    {
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("suits");
        QTest::newRow("plasma on wayland") << u"wayland-0"_s << u"KDE"_s << false << true;
        QTest::newRow("listed among others") << u"wayland-0"_s << u"foo:kde"_s << false << true;
        QTest::newRow("service present") << u"wayland-0"_s << u"sway"_s << true << true;
        QTest::newRow("gnome on wayland") << u"wayland-0"_s << u"GNOME"_s << false << false;
        QTest::newRow("plasma on x11") << QString() << u"KDE"_s << true << false;
    }
    void whichSessionsUseTheService()
    {
        QFETCH(QString, wayland);
        QFETCH(QString, desktop);
        QFETCH(bool, registered);
        QFETCH(bool, suits);
        QCOMPARE(KdeKeyboardLayer::Suits(wayland, desktop, registered), suits);
    }

    void thisSessionGetsTheKdeLayer()
    {
        QVERIFY(KdeKeyboardLayer::suitsThisSession());
        QVERIFY(dynamic_cast<KdeKeyboardLayer*>(&keyboardLayer()));
    }

    // Turned off first: the switch connects once per process.
    void theSettingTurnsItOff()
    {
        QTemporaryDir dir;
        WriteIniString(u"/NiloChequePrint.ini"_s, dir.path(), u"Keyboard"_s, u"FollowField"_s,
                       u"0"_s);
        FollowFieldAsSet(*qApp, dir.path(), u"00000429"_s);
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        amountThenPayee(w, false);
        QTest::qWait(300);
        QCOMPARE(service_.selected, QList<uint>());
        setKeyboardLayer(nullptr); // back to the session's own layer
    }

    void focusingAPersianFieldSelectsTheIrLayout()
    {
        QTemporaryDir dir; // no settings file: on
        FollowFieldAsSet(*qApp, dir.path(), u"00000429"_s);
        QVERIFY(dynamic_cast<KdeKeyboardLayer*>(&keyboardLayer()));
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        amountThenPayee(w, true);
        QTRY_COMPARE(service_.selected, QList<uint>{2});
        w.amount->setFocus(); // left to right: nothing asked
        QTest::qWait(300);
        QCOMPARE(service_.selected, QList<uint>{2});

        // The user reorders the layouts: the index follows the current list.
        service_.layouts.move(2, 0);
        amountThenPayee(w, true);
        QTRY_COMPARE(service_.selected, QList<uint>{0});

        // A desktop without a Persian layout is never asked to switch.
        service_.layouts.removeFirst();
        amountThenPayee(w, true);
        QTest::qWait(300);
        QCOMPARE(service_.selected, QList<uint>());
        QTRY_VERIFY(!keyboardLayer().supportsRightToLeft());
    }
};

// A private session bus for the process, and a Plasma on Wayland session as far as the
// environment tells.
int main(int argc, char** argv)
{
    QProcess bus;
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (!daemon.isEmpty()) {
        bus.start(daemon, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address"_s});
        if (bus.waitForReadyRead(10000))
            qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    }
    qputenv("WAYLAND_DISPLAY", "nilo-test-wayland");
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int code = 0;
    {
        QApplication app(argc, argv);
        KeyboardKde test;
        code = QTest::qExec(&test, argc, argv);
        setKeyboardLayer(std::make_unique<StillKeyboardLayer>());
    }
    bus.terminate();
    bus.waitForFinished(5000);
    return code;
}
#include "test_keyboard_kde.moc"
