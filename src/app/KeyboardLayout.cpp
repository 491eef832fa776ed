#include "app/KeyboardLayout.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
std::unique_ptr<KeyboardLayer>& layerRef()
{
    static std::unique_ptr<KeyboardLayer> layer = std::make_unique<LinuxKeyboardLayer>();
    return layer;
}
} // namespace

KeyboardLayer& keyboardLayer()
{
    return *layerRef();
}

void setKeyboardLayer(std::unique_ptr<KeyboardLayer> layer)
{
    layerRef() = layer ? std::move(layer) : std::make_unique<LinuxKeyboardLayer>();
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

void SetRightToLeftKeyboardLayout(QApplication& app, const QString& layoutId)
{
    QObject::connect(&app, &QApplication::focusChanged, &app, [layoutId](QWidget*, QWidget* now) {
        if (IsRightToLeftInput(now) && keyboardLayer().supportsRightToLeft())
            keyboardLayer().activateLayout(layoutId);
    });
}
