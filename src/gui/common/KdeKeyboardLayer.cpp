#include "gui/common/KdeKeyboardLayer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.kde.keyboard");
const QString kPath = QStringLiteral("/Layouts");
const QString kInterface = QStringLiteral("org.kde.KeyboardLayouts");

// The short names of an a(sss) reply; empty when the reply has another shape.
QStringList ShortNamesOf(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        reply.signature() != u"a(sss)")
        return {};
    const auto arg = reply.arguments().constFirst().value<QDBusArgument>();
    QStringList names;
    arg.beginArray();
    while (!arg.atEnd()) {
        QString shortName, displayName, longName;
        arg.beginStructure();
        arg >> shortName >> displayName >> longName;
        arg.endStructure();
        names << shortName.trimmed();
    }
    arg.endArray();
    return names;
}
} // namespace

KdeKeyboardLayer::KdeKeyboardLayer()
{
    QDBusConnection::sessionBus().connect(kService, kPath, kInterface,
                                          QStringLiteral("layoutListChanged"), this,
                                          SLOT(layoutListChanged()));
    requestLayouts({});
}

bool KdeKeyboardLayer::Suits(const QString& waylandDisplay, const QString& currentDesktop,
                             bool serviceRegistered)
{
    if (waylandDisplay.isEmpty())
        return false;
    const QStringList desktops = currentDesktop.split(u':', Qt::SkipEmptyParts);
    return serviceRegistered || desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive);
}

bool KdeKeyboardLayer::suitsThisSession()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (wayland.isEmpty())
        return false;
    bool registered = false;
    if (QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected())
        registered = bus.interface()->isServiceRegistered(kService).value();
    return Suits(wayland, qEnvironmentVariable("XDG_CURRENT_DESKTOP"), registered);
}

bool KdeKeyboardLayer::supportsRightToLeft() const
{
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    return !known_ ||
           layouts_.contains(LinuxKeyboardLayer::xkbLayoutOf(QStringLiteral("00000429")));
}

void KdeKeyboardLayer::activateLayout(const QString& layoutId)
{
    requestLayouts(LinuxKeyboardLayer::xkbLayoutOf(layoutId));
}

void KdeKeyboardLayer::layoutListChanged()
{
    requestLayouts({});
}

void KdeKeyboardLayer::requestLayouts(const QString& thenSelect)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("getLayoutsList"));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, thenSelect](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() != QDBusMessage::ReplyMessage)
                    return; // no service (any more): leave what we knew
                layouts_ = ShortNamesOf(reply);
                known_ = true;
                const int index = thenSelect.isEmpty() ? -1 : int(layouts_.indexOf(thenSelect));
                if (index < 0)
                    return;
                QDBusMessage select = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                                     QStringLiteral("setLayout"));
                select << uint(index);
                QDBusConnection::sessionBus().asyncCall(select);
            });
}
