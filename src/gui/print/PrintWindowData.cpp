#include "gui/print/PrintWindowData.h"

#include "core/errors/AppError.h"
#include "core/storage/Database.h"
#include "core/storage/LayoutStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

PrintWindowData::PrintWindowData(QObject* parent) : QObject(parent) {}

AccountFields PrintWindowData::readAccount(int accountId) const
{
    QSqlQuery q(programDatabase->connection());
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

ChequeLayout PrintWindowData::readLayout(int accountId) const
{
    return ReadLayout(programDatabase->connection(), accountId);
}
