#pragma once

#include "core/storage/ChequeRegister.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A file of cheques to print at once: CSV (UTF-8, with or without a byte-order mark, RFC 4180
// quoting), a header row naming the columns in any order, in English or in Persian. The whole
// file is read and every row checked before anything is printed.

struct CsvRecord
{
    int line = 0; // the line on which the record starts, from 1
    QStringList fields;
};
struct CsvTable
{
    QList<CsvRecord> records;
    QString error; // empty when the text was read whole
};
// Records of a CSV text; blank lines are skipped. A quoted field may hold commas, doubled
// quotes and line breaks.
CsvTable ParseCsv(const QByteArray& bytes);

// The largest batch file read.
inline constexpr qint64 kMaxBatchFileBytes = 8 * 1024 * 1024;

struct BatchCheque
{
    int line = 0;
    ChequeRecord record; // account, due day, amount, payee, IDs and description filled
    QString amountText;  // as given, for the cheque model
};
struct BatchReading
{
    QList<BatchCheque> cheques;
    QStringList errors; // "line N: reason", every bad row named
};

// Why an account cannot print (unknown, no layout), or empty when it can.
using AccountCheck = std::function<QString(int accountId)>;
// The id of a record not voided that holds the Sayad ID, or 0.
using SayadLookup = std::function<qint64(const QString& sayadId)>;

BatchReading ReadBatch(const QByteArray& bytes, const AccountCheck& account,
                       const SayadLookup& sayadInRegister);
