#pragma once

#include <QObject>
#include <functional>

class QWidget;

// The keys of the program's dialog-like windows, seen before any control of the window gets
// them: Enter is swallowed and moves the focus on; Escape closes the window.
class DialogKeys final : public QObject
{
    Q_OBJECT
public:
    // Watches window and every widget in it at the time of the call.
    DialogKeys(QWidget* window, std::function<void()> focusNext);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<void()> focusNext_;
};
