#pragma once

#include "printing/ChequePage.h"

#include <QString>

// Prints the page on the named printer, one copy, no dialog: the page's PDF (the same bytes
// `--pdf` writes) handed to CUPS. Empty when the printer accepted the job, else the reason
// in Persian, the technical detail on a second line.
QString PrintChequePage(const ChequePage& page, const QString& printerName);
