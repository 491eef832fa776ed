#include "printing/uChequePrintDM.h"

#include "app/uMainDM.h"
#include "layout/LayoutStore.h"
#include "lib/AppError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

TfrmChequePrintDM::TfrmChequePrintDM(QObject* parent) : QObject(parent) {}

AccountFields TfrmChequePrintDM::readAccount(int accountId) const
{
    QSqlQuery q(frmMainDM->connection());
    if (!q.prepare(QStringLiteral("select * from tblAccountMst where Id = :InId")))
        throw AppError(q.lastError().text());
    q.bindValue(QStringLiteral(":InId"), accountId);
    if (!q.exec())
        throw AppError(q.lastError().text());
    AccountFields fields;
    if (q.next()) {
        fields.bankName = q.value(QStringLiteral("BankName")).toString();
        fields.bankBranchName = q.value(QStringLiteral("BankBranchName")).toString();
        fields.bankBranchCode = q.value(QStringLiteral("BankBranchCode")).toString();
        fields.accountName = q.value(QStringLiteral("AccountName")).toString();
        fields.accountNo = q.value(QStringLiteral("AccountNo")).toString();
    }
    return fields;
}

ChequeLayout TfrmChequePrintDM::readLayout(int accountId) const
{
    return ReadLayout(frmMainDM->connection(), accountId);
}
