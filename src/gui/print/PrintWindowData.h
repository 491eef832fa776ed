#pragma once

#include "core/cheque/ChequeLayout.h"

#include <QObject>
#include <QString>

// The loaded account's columns as the print window shows them.
struct AccountFields
{
    QString bankName;
    QString bankBranchName;
    QString bankBranchCode;
    QString accountName;
    QString accountNo;
};

// The print window's data module: the account, picture and row queries of one account,
// over the program's connection. It only reads.
class PrintWindowData final : public QObject
{
    Q_OBJECT
public:
    explicit PrintWindowData(QObject* parent = nullptr);

    // "select * from tblAccountMst where Id = :InId"; blank fields when there is no row.
    AccountFields readAccount(int accountId) const;
    // The picture (unpacked) and the ten rows of the account.
    ChequeLayout readLayout(int accountId) const;
};
