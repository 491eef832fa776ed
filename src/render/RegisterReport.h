#pragma once

#include "core/storage/ChequeRegister.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The register's rows as a printable report: an A4 landscape table (number, Jalali due date,
// account, amount, payee, national ID, Sayad ID, status, note) repeated page by page under its
// heading, with the totals of the rows at the end.

// "n rows; k valid cheques, total T Rials": voided records and reprints count as rows only.
QString RegisterTotalsText(const QList<ChequeRecord>& records);

// The PDF bytes of the report; empty when the PDF could not be made.
QByteArray RegisterReportPdf(const QList<ChequeRecord>& records, const QString& heading);

// Writes the report to path whole or not at all, never over a protected file (the open
// database). "" on success, else a Persian reason.
QString WriteRegisterReport(const QList<ChequeRecord>& records, const QString& heading,
                            const QString& path, const QStringList& protectedFiles);
