#pragma once

#include "printing/ChequeModel.h"
#include "printing/ChequeRegister.h"

#include <QString>

// The register's record of the cheque a model prints now: account, due date, amount and the
// texts as they stand on the leaf. The caller adds where it went and the Sayad data.
ChequeRecord RecordOfCheque(const ChequeModel& model);

// What the drawer registers in the Sayad system for a cheque, one item a line, to copy.
QString SayadRegistrationText(const ChequeRecord& record);

// The Persian sentence shown when a job was accepted but its record could not be written.
QString NotRecordedSentence();
