#pragma once

#include "core/cheque/ChequeModel.h"

#include <QSqlDatabase>
#include <QString>

// Each printer's calibration, kept by printer name in tblPrinterCalibration. Older database
// files lack the table: reads then give no offset, and the first save creates it.

inline constexpr char kCalibrationTableSql[] = "create table if not exists tblPrinterCalibration ("
                                               " PrinterName text primary key not null,"
                                               " OffsetX real not null default 0,"
                                               " OffsetY real not null default 0)";

// The stored offset of the printer, or none. Throws AppError when the database fails.
PrinterCalibration ReadCalibration(const QSqlDatabase& db, const QString& printerName);

// Stores the offset (none: the row is removed). Throws AppError when the database fails or
// the offset is outside -25..25 mm.
void SaveCalibration(const QSqlDatabase& db, const QString& printerName,
                     PrinterCalibration calibration);
