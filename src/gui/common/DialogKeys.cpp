#include "gui/common/DialogKeys.h"

#include <QKeyEvent>
#include <QWidget>

DialogKeys::DialogKeys(QWidget* window, std::function<void()> focusNext)
    : QObject(window), window_(window), focusNext_(std::move(focusNext))
{
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNext_();
        return true;
    case Qt::Key_Escape:
        window_->close();
        return true;
    default:
        return false;
    }
}
