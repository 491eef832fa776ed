#pragma once

#include "core/cheque/ChequePage.h"

#include <QString>

// Prints the page on the named printer, one copy, no dialog: the page's PDF (the same bytes
// `--pdf` writes) handed to CUPS, so no driver's margins can move it. Empty when the printer
// accepted the job (its id in jobId), else the reason in Persian with the technical detail on
// a second line.
QString PrintChequePage(const ChequePage& page, const QString& printerName, int* jobId = nullptr);
