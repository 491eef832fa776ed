#include "gui/common/WheelFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

bool FilterWheelEvent(QObject* receiver, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    const auto* wheel = static_cast<const QWheelEvent*>(event);
    int delta = wheel->angleDelta().y();
    if (delta == 0)
        delta = wheel->pixelDelta().y();
    // A sideways wheel, or the empty begin and end markers of a touchpad scroll, is no
    // vertical step: it passes on as it came.
    if (delta == 0)
        return false;

    // The step goes where the keyboard is, not to the widget under the mouse.
    QWidget* target = QApplication::focusWidget();
    if (!target) {
        if (auto* widget = qobject_cast<QWidget*>(receiver))
            target = widget->window();
        else if (QApplication::activeWindow())
            target = QApplication::activeWindow();
    }
    if (target) {
        QKeyEvent press(QEvent::KeyPress, delta > 0 ? Qt::Key_Up : Qt::Key_Down,
                        wheel->modifiers());
        QApplication::sendEvent(target, &press);
    }
    return true;
}

WheelFilter::WheelFilter(QObject* parent) : QObject(parent)
{
    if (qApp)
        qApp->installEventFilter(this);
}

WheelFilter::~WheelFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool WheelFilter::eventFilter(QObject* watched, QEvent* event)
{
    return FilterWheelEvent(watched, event);
}
