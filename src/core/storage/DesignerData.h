#pragma once

#include "core/storage/LayoutStore.h"

#include <QObject>
#include <QSqlQueryModel>

// The designer's account grid: the accounts in Radif order, display order centred, and a
// row indicator that marks the current account.
class ChequeAccountModel final : public QSqlQueryModel
{
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void setIndicatorRow(int row);

private:
    int indicatorRow_ = -1;
};

// The designer's data module: the account query of its grid and the layout statements, all
// on the main data module's connection. Lives exactly as long as its window.
class DesignerData final : public QObject
{
    Q_OBJECT
public:
    static constexpr char kAccountStatement[] = "select * from tblAccountMst\norder by Radif";

    // Opens the account query.
    explicit DesignerData(QObject* parent = nullptr);
    ~DesignerData() override;

    QSqlDatabase connection() const;
    ChequeAccountModel* accounts() const { return accounts_; }

    // Closes and reopens the account query (every row fetched: the grid can move to the last).
    void reopenAccounts();
    int accountCount() const;
    // The Id of the account at a grid row; 0 outside the list.
    int accountIdAt(int row) const;
    // The grid row of an account; -1 when it is not in the list.
    int rowOfAccount(int accountId) const;

    ChequeLayout readLayout(int accountId) const;
    bool saveLayout(int accountId, const LayoutRows& rows, const QByteArray& pictureJpeg,
                    const LayoutProgress& progress, QString* error) const;
    void deleteAccount(int accountId) const;

private:
    ChequeAccountModel* accounts_ = nullptr;
    int idColumn_ = -1;
};
