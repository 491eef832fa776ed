#pragma once

#include <QObject>

class QEvent;

// The application-wide message hook: one mouse-wheel step becomes one Up (wheel away from
// the user) or Down key press, sent to the widget holding the keyboard focus, in every
// window, modal dialogs included. Other events pass unchanged. Returns true when the event
// was taken.
bool FilterWheelEvent(QObject* receiver, QEvent* event);

// Installs FilterWheelEvent on the application while it lives.
class WheelFilter final : public QObject
{
    Q_OBJECT
public:
    explicit WheelFilter(QObject* parent = nullptr);
    ~WheelFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
