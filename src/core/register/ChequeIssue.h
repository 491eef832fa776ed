#pragma once

#include "core/cheque/ChequeModel.h"
#include "core/storage/ChequeRegister.h"

#include <QSqlDatabase>
#include <QString>

// The register's record of the cheque a model prints now: account, due date, amount and the
// texts as they stand on the leaf. The caller adds where it went and the Sayad data.
ChequeRecord RecordOfCheque(const ChequeModel& model);

// What the drawer registers in the Sayad system for a cheque, one item a line, to copy.
QString SayadRegistrationText(const ChequeRecord& record);

// The Persian sentence shown when a job was accepted but its record could not be written.
QString NotRecordedSentence();

// Composes the page of a recorded (or about to be recorded) cheque from its account's stored
// layout and fills the record's printed texts. Throws AppError when it cannot print.
ChequePage ComposeRecordPage(const QSqlDatabase& db, ChequeRecord& record,
                             const QString& amountText, PrinterCalibration calibration,
                             const TextMeasure& measure);
