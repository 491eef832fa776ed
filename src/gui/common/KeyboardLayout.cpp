#include "gui/common/KeyboardLayout.h"

#include "gui/common/KdeKeyboardLayer.h"

#include "core/storage/IniFile.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
std::unique_ptr<KeyboardLayer>& layerRef()
{
    static std::unique_ptr<KeyboardLayer> layer = MakeDesktopKeyboardLayer();
    return layer;
}
} // namespace

std::unique_ptr<KeyboardLayer> MakeDesktopKeyboardLayer()
{
    if (KdeKeyboardLayer::suitsThisSession())
        return std::make_unique<KdeKeyboardLayer>();
    return std::make_unique<LinuxKeyboardLayer>();
}

KeyboardLayer& keyboardLayer()
{
    return *layerRef();
}

void setKeyboardLayer(std::unique_ptr<KeyboardLayer> layer)
{
    layerRef() = layer ? std::move(layer) : MakeDesktopKeyboardLayer();
}

bool IsRightToLeftInput(const QWidget* w)
{
    if (!w || w->layoutDirection() != Qt::RightToLeft)
        return false;
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

bool KeyboardFollowsFieldSetting(const QString& folder)
{
    const QString value =
        ReadIniString(QStringLiteral("/NiloChequePrint.ini"), folder, QStringLiteral("Keyboard"),
                      QStringLiteral("FollowField"), QStringLiteral("1"))
            .trimmed()
            .toLower();
    return value != u"0" && value != u"false" && value != u"no";
}

void FollowFieldAsSet(QApplication& app, const QString& folder, const QString& layoutId)
{
    if (KeyboardFollowsFieldSetting(folder))
        SetRightToLeftKeyboardLayout(app, layoutId);
    else
        setKeyboardLayer(std::make_unique<StillKeyboardLayer>());
}

void SetRightToLeftKeyboardLayout(QApplication& app, const QString& layoutId)
{
    QObject::connect(&app, &QApplication::focusChanged, &app, [layoutId](QWidget*, QWidget* now) {
        if (IsRightToLeftInput(now) && keyboardLayer().supportsRightToLeft())
            keyboardLayer().activateLayout(layoutId);
    });
}

// ---------------------------------------------------------------------------------------------
// X11

struct LinuxKeyboardLayer::X11
{
    Display* display = nullptr;
};

LinuxKeyboardLayer::LinuxKeyboardLayer()
{
    // Only when the program shows its windows on X11 (not offscreen, not Wayland).
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    Display* display = XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason);
    if (display)
        x11_ = new X11{display};
}

LinuxKeyboardLayer::~LinuxKeyboardLayer()
{
    if (x11_)
        XCloseDisplay(x11_->display);
    delete x11_;
}

QString LinuxKeyboardLayer::xkbLayoutOf(const QString& layoutId)
{
    if (layoutId == QLatin1String("00000429"))
        return QStringLiteral("ir");
    return layoutId.trimmed();
}

int LinuxKeyboardLayer::groupOf(const QString& layoutList, const QString& layout)
{
    const QStringList layouts = layoutList.split(u',');
    for (int i = 0; i < layouts.size() && i < XkbNumKbdGroups; ++i)
        if (layouts[i].trimmed() == layout)
            return i;
    return -1;
}

// The layouts the user configured, as the root window's _XKB_RULES_NAMES holds them
// (rules, model, layout, variant, options, each ending in a NUL).
QString LinuxKeyboardLayer::layoutList() const
{
    if (!x11_)
        return {};
    Display* d = x11_->display;
    const Atom names = XInternAtom(d, "_XKB_RULES_NAMES", True);
    if (names == None)
        return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), names, 0, 1024, False, XA_STRING, &type,
                           &format, &count, &after, &data) != Success ||
        !data)
        return {};
    const QList<QByteArray> fields =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(count)).split('\0');
    XFree(data);
    return fields.size() > 2 ? QString::fromLatin1(fields[2]) : QString();
}

bool LinuxKeyboardLayer::supportsRightToLeft() const
{
    return groupOf(layoutList(), QStringLiteral("ir")) >= 0;
}

void LinuxKeyboardLayer::activateLayout(const QString& layoutId)
{
    const int group = groupOf(layoutList(), xkbLayoutOf(layoutId));
    if (group < 0)
        return;
    XkbLockGroup(x11_->display, XkbUseCoreKbd, unsigned(group));
    XFlush(x11_->display);
}
