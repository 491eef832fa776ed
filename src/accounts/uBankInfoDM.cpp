#include "accounts/uBankInfoDM.h"

#include "app/uMainDM.h"

namespace {
QSqlDatabase mainConnection()
{
    return frmMainDM ? frmMainDM->connection() : QSqlDatabase();
}
} // namespace

TfrmBankInfoDM::TfrmBankInfoDM(QObject* parent) : QObject(parent), qryAccount_(mainConnection()) {}
