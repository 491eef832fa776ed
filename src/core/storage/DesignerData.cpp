#include "core/storage/DesignerData.h"

#include "core/errors/AppError.h"
#include "core/storage/Database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

QVariant ChequeAccountModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole && record().fieldName(index.column()) == u"Radif")
        return int(Qt::AlignCenter);
    return QSqlQueryModel::data(index, role);
}

QVariant ChequeAccountModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section == indicatorRow_ ? QVariant(u"\u25C0"_s) : QVariant(QString());
    return QSqlQueryModel::headerData(section, orientation, role);
}

void ChequeAccountModel::setIndicatorRow(int row)
{
    if (row == indicatorRow_)
        return;
    const int previous = indicatorRow_;
    indicatorRow_ = row;
    for (int section : {previous, row})
        if (section >= 0 && section < rowCount())
            emit headerDataChanged(Qt::Vertical, section, section);
}

DesignerData::DesignerData(QObject* parent)
    : QObject(parent), accounts_(new ChequeAccountModel(this))
{
    reopenAccounts();
}

DesignerData::~DesignerData()
{
    accounts_->clear();
}

QSqlDatabase DesignerData::connection() const
{
    return programDatabase ? programDatabase->connection() : QSqlDatabase();
}

void DesignerData::reopenAccounts()
{
    QSqlQuery q(connection());
    if (!q.exec(QString::fromLatin1(kAccountStatement)))
        throw AppError(q.lastError().text().trimmed());
    accounts_->setIndicatorRow(-1);
    accounts_->setQuery(std::move(q));
    while (accounts_->canFetchMore())
        accounts_->fetchMore();
    idColumn_ = accounts_->record().indexOf(u"Id"_s);
}

int DesignerData::accountCount() const
{
    return accounts_->rowCount();
}

int DesignerData::accountIdAt(int row) const
{
    if (row < 0 || row >= accounts_->rowCount() || idColumn_ < 0)
        return 0;
    return accounts_->data(accounts_->index(row, idColumn_)).toInt();
}

int DesignerData::rowOfAccount(int accountId) const
{
    for (int row = 0; row < accounts_->rowCount(); ++row)
        if (accountIdAt(row) == accountId)
            return row;
    return -1;
}

ChequeLayout DesignerData::readLayout(int accountId) const
{
    return ReadLayout(connection(), accountId);
}

bool DesignerData::saveLayout(int accountId, const LayoutRows& rows, const QByteArray& pictureJpeg,
                              const LayoutProgress& progress, QString* error) const
{
    return SaveLayout(connection(), accountId, rows, pictureJpeg, progress, error);
}

void DesignerData::deleteAccount(int accountId) const
{
    DeleteAccountWithLayout(connection(), accountId);
}
