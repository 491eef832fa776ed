#include "core/storage/LayoutStore.h"

#include "core/errors/AppError.h"
#include "core/storage/ImageCodec.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Thrown inside a save or a delete to leave for the rollback with the database's reason.
struct StoreFailure
{
    QString reason;
};

QString reasonOf(const QSqlError& error)
{
    const QString text = error.text().trimmed();
    return text.isEmpty() ? u"unknown database error"_s : text;
}

void exec(QSqlQuery& q)
{
    if (!q.exec())
        throw StoreFailure{reasonOf(q.lastError())};
}

void prepare(QSqlQuery& q, const QString& statement)
{
    if (!q.prepare(statement))
        throw StoreFailure{reasonOf(q.lastError())};
}

// Runs a statement whose one parameter is InId.
void runWithId(QSqlQuery& q, const char* statement, int id)
{
    q.setForwardOnly(true);
    prepare(q, QString::fromLatin1(statement));
    q.bindValue(u":InId"_s, id);
    exec(q);
}

// A whole number read as 64 bits: a text or real that is one, exactly; nullopt for anything
// else (null included).
std::optional<qint64> wholeOf(const QVariant& v)
{
    if (v.isNull())
        return std::nullopt;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return v.toLongLong();
    case QMetaType::ULongLong:
        return v.toULongLong() > quint64(std::numeric_limits<qint64>::max())
                   ? std::nullopt
                   : std::optional<qint64>(qint64(v.toULongLong()));
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::trunc(d) != d || std::fabs(d) > 9.0e18)
            return std::nullopt;
        return qint64(d);
    }
    default: {
        bool ok = false;
        const qint64 n = v.toString().toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    }
}

// The ItemId of a row: only 1..11 are the layout's; any other value (a 64-bit number, a real,
// a text) is another row, shown nowhere and never written.
int itemIdOf(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QString || v.metaType().id() == QMetaType::QByteArray)
        return 0; // a text key is a key of its own to the database, however it reads
    const std::optional<qint64> id = wholeOf(v);
    return id && *id >= kGeneralItemId && *id <= kLastLayoutItemId ? int(*id) : 0;
}

// A position, width or size: empty or not a number reads as 0; a number beyond 32 bits makes
// the row unusable (nullopt).
std::optional<int> valueOf(const QVariant& v)
{
    if (v.isNull())
        return 0;
    const std::optional<qint64> n = wholeOf(v);
    if (!n) {
        if (v.metaType().id() == QMetaType::Double) {
            const double d = v.toDouble(); // a fraction is cut, as before; a huge one is refused
            if (std::isfinite(d) && std::fabs(d) <= double(std::numeric_limits<int>::max()))
                return int(d);
            return std::nullopt;
        }
        return 0;
    }
    if (*n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*n);
}

bool boolOf(const QVariant& v)
{
    return !v.isNull() && v.toBool();
}

// The columns a row of an ItemId gets, and their values.
QList<std::pair<QString, QVariant>> columnsOf(int accountId, const LayoutRow& row)
{
    QList<std::pair<QString, QVariant>> c{
        {u"AccountMstId"_s, accountId},    {u"ItemId"_s, row.itemId},
        {u"SideMargin"_s, row.sideMargin}, {u"UpMargin"_s, row.upMargin},
        {u"Width"_s, row.width},           {u"FSize"_s, row.fontSize},
    };
    if (row.itemId == kGeneralItemId) {
        c.append({u"PrintTumans"_s, row.printTumans});
        return c;
    }
    c.append({u"FName"_s, row.fontName});
    c.append({u"FStyle"_s, row.fontStyle});
    switch (LayoutItemOf(row.itemId).itemSwitch) {
    case ItemSwitch::DoPrint:
        c.append({u"DoPrint"_s, row.doPrint});
        break;
    case ItemSwitch::PrintTumans:
        c.append({u"PrintTumans"_s, row.printTumans});
        break;
    case ItemSwitch::None:
        break;
    }
    return c;
}

// Updates the row whose key is rowKey, or inserts one when rowKey is null.
void writeRow(QSqlDatabase& db, const QString& table, const QVariant& rowKey,
              const QList<std::pair<QString, QVariant>>& columns)
{
    QStringList names;
    QStringList holders;
    QStringList sets;
    for (const auto& [name, value] : columns) {
        names << name;
        holders << u":"_s + name;
        sets << name + u" = :"_s + name;
    }
    QSqlQuery q(db);
    if (rowKey.isNull())
        prepare(q, u"insert into %1 (%2) values (%3)"_s.arg(table, names.join(u", "_s),
                                                            holders.join(u", "_s)));
    else
        prepare(q, u"update %1 set %2 where Id = :RowKey"_s.arg(table, sets.join(u", "_s)));
    for (const auto& [name, value] : columns)
        q.bindValue(u":"_s + name, value);
    if (!rowKey.isNull())
        q.bindValue(u":RowKey"_s, rowKey);
    exec(q);
}

// Runs body in a transaction; any failure rolls everything back.
template <class Body> QString inTransaction(QSqlDatabase& db, Body&& body)
{
    // A full sync at commit: a save that reports success survives a power cut.
    QSqlQuery(db).exec(u"pragma synchronous = full"_s);
    if (!db.transaction())
        return reasonOf(db.lastError());
    try {
        body();
        if (!db.commit())
            throw StoreFailure{reasonOf(db.lastError())};
        return {};
    } catch (const StoreFailure& failure) {
        db.rollback();
        return failure.reason;
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace

ChequeLayout ReadLayout(QSqlDatabase db, int accountId)
{
    ChequeLayout layout;
    try {
        QSqlQuery picture(db);
        runWithId(picture, kPictureStatement, accountId);
        if (picture.next())
            UnpackImageStream(picture.value(u"Image"_s).toByteArray(), layout.pictureJpeg);
        picture.finish();

        QSqlQuery rows(db);
        runWithId(rows, kLayoutRowStatement, accountId);
        const QSqlRecord rec = rows.record();
        const int cItem = rec.indexOf(u"ItemId"_s), cSide = rec.indexOf(u"SideMargin"_s),
                  cUp = rec.indexOf(u"UpMargin"_s), cWidth = rec.indexOf(u"Width"_s),
                  cSize = rec.indexOf(u"FSize"_s), cName = rec.indexOf(u"FName"_s),
                  cStyle = rec.indexOf(u"FStyle"_s), cPrint = rec.indexOf(u"DoPrint"_s),
                  cTumans = rec.indexOf(u"PrintTumans"_s);
        while (rows.next()) {
            layout.hasRows = true;
            const int itemId = itemIdOf(rows.value(cItem));
            if (itemId == 0 || layout.present[itemId - 1])
                continue; // a stray row is no part of the layout; the first of an ItemId counts
            const std::optional<int> side = valueOf(rows.value(cSide)),
                                     up = valueOf(rows.value(cUp)),
                                     width = valueOf(rows.value(cWidth)),
                                     size = valueOf(rows.value(cSize));
            if (!side || !up || !width || !size)
                continue; // shown as if absent; the next save writes the row over
            LayoutRow& row = layout.rows[itemId - 1];
            row.itemId = itemId;
            row.sideMargin = *side;
            row.upMargin = *up;
            row.width = *width;
            row.fontSize = *size;
            row.fontName = rows.value(cName).toString();
            row.fontStyle = rows.value(cStyle).toString();
            row.doPrint = boolOf(rows.value(cPrint));
            row.printTumans = boolOf(rows.value(cTumans));
            layout.present[itemId - 1] = true;
        }
    } catch (const StoreFailure& failure) {
        throw AppError(DatabaseErrorText(DatabaseReadFailed(), failure.reason));
    }
    return layout;
}

bool SaveLayout(QSqlDatabase db, int accountId, const LayoutRows& rows,
                const QByteArray& pictureJpeg, const LayoutProgress& progress, QString* error)
{
    const QString reason = inTransaction(db, [&] {
        if (!pictureJpeg.isEmpty()) {
            QByteArray packed;
            PackImageStream(pictureJpeg, packed);
            QSqlQuery q(db);
            runWithId(q, kPictureStatement, accountId);
            const QVariant key = q.next() ? q.value(u"Id"_s) : QVariant();
            q.finish();
            writeRow(db, u"tblChequeImage"_s, key,
                     {{u"AccountMstId"_s, accountId}, {u"Image"_s, packed}});
        }

        QHash<int, QVariant> keys; // ItemId -> key of the account's row
        {
            QSqlQuery q(db);
            runWithId(q, kLayoutRowStatement, accountId);
            while (q.next()) {
                // Rows of other ItemIds stay as they are: re-keying one would collide.
                const int itemId = itemIdOf(q.value(u"ItemId"_s));
                if (itemId != 0 && !keys.contains(itemId))
                    keys.insert(itemId, q.value(u"Id"_s));
            }
        }
        if (progress)
            progress(0);
        for (int itemId = kGeneralItemId; itemId <= kLastLayoutItemId; ++itemId) {
            if (progress)
                progress(itemId);
            LayoutRow row = rows[itemId - 1];
            row.itemId = itemId;
            writeRow(db, u"tblItemsPrvt"_s, keys.value(itemId), columnsOf(accountId, row));
        }
    });
    if (error)
        *error = reason;
    return reason.isEmpty();
}

void DeleteAccountWithLayout(QSqlDatabase db, int accountId)
{
    const QString id = QString::number(accountId);
    const QString reason = inTransaction(db, [&] {
        for (const QString& statement : {u"delete from tblItemsPrvt where AccountMstId = "_s,
                                         u"delete from tblChequeImage where AccountMstId = "_s,
                                         u"delete from tblAccountMst where Id = "_s}) {
            QSqlQuery q(db);
            if (!q.exec(statement + id))
                throw StoreFailure{reasonOf(q.lastError())};
        }
    });
    if (!reason.isEmpty())
        throw AppError(DatabaseErrorText(
            u"حساب و اطلاعات چك آن حذف نشد و دست نخورده ماند. بسته بودن برنامه‌هاي "
            u"ديگري "
            u"كه "
            u"از "
            "اين بانك استفاده مي‌كنند و اجازه نوشتن در پرونده بانك را بررسي كنيد."_s,
            reason));
}
