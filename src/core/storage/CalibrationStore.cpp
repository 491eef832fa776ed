#include "core/storage/CalibrationStore.h"

#include "core/errors/AppError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool tableExists(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(u"select 1 from sqlite_master where type = 'table' and name = "
                u"'tblPrinterCalibration'"_s))
        throw AppError(q.lastError().text());
    return q.next();
}

// Offsets are kept to a tenth of a millimetre, as the window's fields step.
double tenths(double mm)
{
    return std::round(mm * 10.0) / 10.0;
}

} // namespace

PrinterCalibration ReadCalibration(const QSqlDatabase& db, const QString& printerName)
{
    if (!tableExists(db))
        return {};
    QSqlQuery q(db);
    q.prepare(u"select OffsetX, OffsetY from tblPrinterCalibration where PrinterName = ?"_s);
    q.addBindValue(printerName);
    if (!q.exec())
        throw AppError(q.lastError().text());
    if (!q.next())
        return {};
    PrinterCalibration c{q.value(0).toDouble(), q.value(1).toDouble()};
    // A row written by hand outside the range counts as no offset rather than moving the
    // texts off the cheque.
    if (!IsValidCalibration(c))
        return {};
    return c;
}

void SaveCalibration(const QSqlDatabase& db, const QString& printerName,
                     PrinterCalibration calibration)
{
    if (!IsValidCalibration(calibration))
        throw AppError(u"the offset must lie between -25 and 25 mm"_s);
    QSqlQuery q(db);
    if (!q.exec(QString::fromLatin1(kCalibrationTableSql)))
        throw AppError(q.lastError().text());
    const PrinterCalibration c{tenths(calibration.xMm), tenths(calibration.yMm)};
    if (c == PrinterCalibration{}) {
        q.prepare(u"delete from tblPrinterCalibration where PrinterName = ?"_s);
        q.addBindValue(printerName);
    } else {
        q.prepare(u"insert into tblPrinterCalibration (PrinterName, OffsetX, OffsetY)"
                  u" values (?, ?, ?) on conflict (PrinterName) do update set"
                  u" OffsetX = excluded.OffsetX, OffsetY = excluded.OffsetY"_s);
        q.addBindValue(printerName);
        q.addBindValue(c.xMm);
        q.addBindValue(c.yMm);
    }
    if (!q.exec())
        throw AppError(q.lastError().text());
}
