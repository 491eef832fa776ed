#pragma once

#include <QWidget>

// The cheque layout designer: a child window of the main frame (object name
// "frmChequeInfoUI"), at most one at a time.
class TfrmChequeInfoUI final : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmChequeInfoUI(QWidget* parent = nullptr);
    ~TfrmChequeInfoUI() override;

    // Reloads the account grid; with moveToLast, moves to the last account afterwards.
    void RefreshGrid(bool moveToLast);
};

// The open designer, or null; the account editor refreshes its grid through it.
extern TfrmChequeInfoUI* frmChequeInfoUI;
