#pragma once

#include "gui/common/KeyboardLayout.h"

#include <QObject>
#include <QStringList>

// KDE Plasma on Wayland: the compositor owns the keyboard, and programs switch its layout
// through the session bus service org.kde.keyboard (object /Layouts, interface
// org.kde.KeyboardLayouts: getLayoutsList() -> a(sss) of short name, display name, long name;
// setLayout(uint index)). Calls are asynchronous so a focus change never waits on the desktop.
class KdeKeyboardLayer final : public QObject, public KeyboardLayer
{
    Q_OBJECT

public:
    KdeKeyboardLayer();
    // Right to left is supported while the desktop lists an "ir" layout, and before the first
    // answer arrives (activateLayout asks again anyway).
    bool supportsRightToLeft() const override;
    // Asks for the current layout list, then selects the entry whose short name is the layout.
    void activateLayout(const QString& layoutId) override;

    // Whether to use this layer rather than XKB: a Wayland session (waylandDisplay set) on
    // Plasma (currentDesktop, as XDG_CURRENT_DESKTOP, lists KDE) or wherever the service runs.
    static bool Suits(const QString& waylandDisplay, const QString& currentDesktop,
                      bool serviceRegistered);
    // Suits() for this process's environment and session bus.
    static bool suitsThisSession();

private slots:
    void layoutListChanged();

private:
    void requestLayouts(const QString& thenSelect);

    QStringList layouts_; // short names, in the desktop's order
    bool known_ = false;
};
