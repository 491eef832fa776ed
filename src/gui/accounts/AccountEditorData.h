#pragma once

#include "core/storage/AccountStore.h"

#include <QObject>

// The account editor's data module: its one data set, the row of the account being edited
// ("select * from tblAccountMst where Id = :InId"), over the program's connection.
class AccountEditorData final : public QObject
{
    Q_OBJECT
public:
    explicit AccountEditorData(QObject* parent = nullptr);

    AccountStore& qryAccount() { return qryAccount_; }

private:
    AccountStore qryAccount_;
};
