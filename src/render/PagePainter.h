#pragma once

#include "core/cheque/ChequeModel.h"
#include "core/cheque/ChequePage.h"

#include <QByteArray>
#include <QFont>

class QPainter;

QFont ToQFont(const FontSpec& spec);
FontSpec ToFontSpec(const QFont& font);

// The one text measure of the program: one line of text at 96 dpi with the program's fonts,
// the same on every screen and in the command-line tool.
TextMeasure ProgramTextMeasure();

// Paints one text element, coordinates in 1/96 inch times `scale` device pixels. The preview
// paints its boxes with it, the page every element, so screen and paper agree.
void PaintTextElement(QPainter& painter, const TextElement& e, qreal scale);

// Paints the page on a device of the given resolution. Coordinates are converted from
// 1/96 inch to device pixels one by one, so fonts keep their point sizes as resolved by the
// device itself (scaling the painter instead would enlarge every text by dpi/96).
void PaintChequePage(QPainter& painter, const ChequePage& page, qreal dotsPerInch);

// The page as a PDF document: A4 in the page's orientation, full page, no margins. These
// bytes are what a PDF file holds and what a printer is sent. Throws AppError on failure.
QByteArray RenderChequePdf(const ChequePage& page);

// Writes the page's PDF to the file whole or not at all. Refuses a folder, a device and the
// protected files (the open database). Throws AppError with the reason.
void WriteChequePdf(const ChequePage& page, const QString& path,
                    const QStringList& protectedFiles = {});
