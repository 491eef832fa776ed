#include "layout/uChequeInfoUI.h"

TfrmChequeInfoUI* frmChequeInfoUI = nullptr;

TfrmChequeInfoUI::TfrmChequeInfoUI(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmChequeInfoUI"));
    frmChequeInfoUI = this;
}

TfrmChequeInfoUI::~TfrmChequeInfoUI()
{
    if (frmChequeInfoUI == this)
        frmChequeInfoUI = nullptr;
}

void TfrmChequeInfoUI::RefreshGrid(bool moveToLast)
{
    Q_UNUSED(moveToLast);
}
