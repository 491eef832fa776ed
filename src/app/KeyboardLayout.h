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

// Linux desktops offer no common way for a program to switch the keyboard layout: this
// layer reports no right-to-left support and so never switches.
class LinuxKeyboardLayer final : public KeyboardLayer
{
public:
    bool supportsRightToLeft() const override { return false; }
    void activateLayout(const QString&) override {}
};

// The process-wide layer (a LinuxKeyboardLayer unless replaced, for example by a test).
KeyboardLayer& keyboardLayer();
void setKeyboardLayer(std::unique_ptr<KeyboardLayer> layer);

// Input controls that read right to left and so switch the layout when focused.
bool IsRightToLeftInput(const QWidget* widget);

// From now on, focusing a right-to-left input control activates layoutId through the layer
// (when it supports right-to-left languages). Left-to-right controls leave it as it is.
void SetRightToLeftKeyboardLayout(QApplication& app, const QString& layoutId);
