#pragma once

#include "printing/ChequePage.h"

#include <QFont>

class QPainter;
class QPrinter;

QFont ToQFont(const FontSpec& spec);
FontSpec ToFontSpec(const QFont& font);

// Paints the page on a device of the given resolution. Coordinates are converted from
// 1/96 inch to device pixels one by one, so fonts keep their point sizes as resolved by the
// device itself (scaling the painter instead would enlarge every text by dpi/96).
void PaintChequePage(QPainter& painter, const ChequePage& page, qreal dotsPerInch);

// Prints the page at once on the printer: A4 in the page's orientation, margins 0, one
// copy, no dialog. Throws AppError when the printer cannot start the job.
void PrintChequePage(const ChequePage& page, QPrinter& printer);

// The same page into a PDF file, through the same painting code.
void WriteChequePdf(const ChequePage& page, const QString& path);

// Prints on the named CUPS printer (empty: the current printer).
void PrintChequePageOn(const ChequePage& page, const QString& printerName);
