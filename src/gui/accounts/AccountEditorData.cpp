#include "gui/accounts/AccountEditorData.h"

#include "core/storage/Database.h"

namespace {
QSqlDatabase mainConnection()
{
    return programDatabase ? programDatabase->connection() : QSqlDatabase();
}
} // namespace

AccountEditorData::AccountEditorData(QObject* parent)
    : QObject(parent), qryAccount_(mainConnection())
{}
