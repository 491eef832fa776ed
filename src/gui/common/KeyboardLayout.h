#pragma once

#include <QString>
#include <memory>

class QApplication;
class QWidget;

// The right-to-left keyboard layer: asks the desktop for a keyboard layout when an input
// control that reads right to left takes the focus.
class KeyboardLayer
{
public:
    virtual ~KeyboardLayer() = default;
    // Whether the desktop supports right-to-left languages (the switch happens only then).
    virtual bool supportsRightToLeft() const = 0;
    // Loads and activates a layout by its identifier ("00000429" is Persian).
    virtual void activateLayout(const QString& layoutId) = 0;
};

// The Linux layer. On X11 it switches to the XKB group of the layout the user has configured
// for the language ("00000429", Persian: the group whose layout is "ir"), through its own
// connection to the display. Most Wayland desktops (GNOME among them) give programs no way to
// switch the layout: there it reports no right-to-left support and never switches (Plasma has
// its own layer, KdeKeyboardLayer).
class LinuxKeyboardLayer final : public KeyboardLayer
{
public:
    LinuxKeyboardLayer();
    ~LinuxKeyboardLayer() override;
    bool supportsRightToLeft() const override;
    void activateLayout(const QString& layoutId) override;

    // The XKB layout name of a layout identifier ("00000429" -> "ir"); other text is taken
    // as an XKB name already.
    static QString xkbLayoutOf(const QString& layoutId);
    // The group of layout in an XKB layout list such as "us,ir" (-1 when absent).
    static int groupOf(const QString& layoutList, const QString& layout);

private:
    QString layoutList() const;
    struct X11;
    X11* x11_ = nullptr;
};

// A layer that never switches: the user turned the switching off in the settings file.
class StillKeyboardLayer final : public KeyboardLayer
{
public:
    bool supportsRightToLeft() const override { return false; }
    void activateLayout(const QString&) override {}
};

// The layer this session offers: KDE's keyboard service on Plasma under Wayland, else the
// Linux (X11) layer.
std::unique_ptr<KeyboardLayer> MakeDesktopKeyboardLayer();

// The process-wide layer (MakeDesktopKeyboardLayer() unless replaced, for example by a test;
// replacing it with null goes back to that).
KeyboardLayer& keyboardLayer();
void setKeyboardLayer(std::unique_ptr<KeyboardLayer> layer);

// Input controls that read right to left and so switch the layout when focused.
bool IsRightToLeftInput(const QWidget* widget);

// The settings file's switch in folder: [Keyboard] FollowField, on unless it reads 0 (or "false").
bool KeyboardFollowsFieldSetting(const QString& folder);

// From now on, focusing a right-to-left input control activates layoutId through the layer
// (when it supports right-to-left languages). Left-to-right controls leave it as it is.
void SetRightToLeftKeyboardLayout(QApplication& app, const QString& layoutId);

// The program's start: follow the field as the settings file in folder says, or replace the
// layer with one that never switches.
void FollowFieldAsSet(QApplication& app, const QString& folder, const QString& layoutId);
