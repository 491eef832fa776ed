#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: a right-to-left multiple-document frame.
class TfrmMainUI final : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMainUI(QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return mdiArea_; }

private:
    QMdiArea* mdiArea_ = nullptr;
};

// The process-wide main window, set while it lives.
extern TfrmMainUI* frmMainUI;
