#include "gui/accounts/AccountListData.h"

#include "core/errors/AppError.h"
#include "core/storage/AccountStore.h"
#include "core/storage/Database.h"

#include <QColor>
#include <QSqlError>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

QVariant AccountListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::BackgroundRole) {
        if (!rowColor_ || !index.isValid())
            return {};
        QColor background;
        rowColor_(index.row() + 1, background);
        return background.isValid() ? QVariant(background) : QVariant();
    }
    if (role == Qt::ForegroundRole) {
        // A shaded row keeps its own text colour: a dark theme's light text would vanish on
        // the light shade.
        if (!rowColor_ || !index.isValid())
            return {};
        QColor background;
        rowColor_(index.row() + 1, background);
        if (!background.isValid())
            return {};
        return QColor(background.lightness() >= 128 ? QColor(0x1f, 0x29, 0x33) : QColor(Qt::white));
    }
    if (role == Qt::TextAlignmentRole) {
        const auto it = alignments_.constFind(index.column());
        return it == alignments_.cend() ? QVariant() : QVariant(int(*it));
    }
    return QSqlQueryModel::data(index, role);
}

void AccountListModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    alignments_.insert(column, alignment);
}

int AccountListModel::idAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return record(row).value(u"Id"_s).toInt();
}

AccountListData::AccountListData(QObject* parent)
    : QObject(parent), qryAccounts_(new AccountListModel(this))
{
    const QSqlDatabase db = programDatabase ? programDatabase->connection() : QSqlDatabase();
    qryAccounts_->setQuery(kAccountListStatement, db);
    if (qryAccounts_->lastError().isValid())
        throw AppError(qryAccounts_->lastError().text().trimmed());
}

AccountListData::~AccountListData()
{
    qryAccounts_->clear();
}
