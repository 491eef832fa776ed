#pragma once

#include <QHash>
#include <QObject>
#include <QSqlQueryModel>
#include <functional>

class QColor;

// The account list's query as a read-only model. Rows are fetched as the grid shows them.
// Each cell's background comes from the row-colour handler, given the row's record number
// (1 for the first row).
class AccountListModel final : public QSqlQueryModel
{
    Q_OBJECT
public:
    using RowColorHandler = std::function<void(int recordNumber, QColor& background)>;

    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setRowColorHandler(RowColorHandler handler) { rowColor_ = std::move(handler); }
    void setColumnAlignment(int column, Qt::Alignment alignment);

    // The Id of a row; 0 for no row.
    int idAt(int row) const;

private:
    RowColorHandler rowColor_;
    QHash<int, Qt::Alignment> alignments_;
};

// The account list's data module: its one query, "select * from tblAccountMst" / "order by
// Radif", run when the module is created and closed when it is destroyed.
class AccountListData final : public QObject
{
    Q_OBJECT
public:
    // A database error is thrown as AppError.
    explicit AccountListData(QObject* parent = nullptr);
    ~AccountListData() override;

    AccountListModel* qryAccounts() const { return qryAccounts_; }

private:
    AccountListModel* qryAccounts_ = nullptr;
};
