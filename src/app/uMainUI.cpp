#include "app/uMainUI.h"

#include <QMdiArea>

TfrmMainUI* frmMainUI = nullptr;

TfrmMainUI::TfrmMainUI(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainUI"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(QStringLiteral("چاپ چك نيلو"));
    mdiArea_ = new QMdiArea(this);
    setCentralWidget(mdiArea_);
    if (!frmMainUI)
        frmMainUI = this;
}
