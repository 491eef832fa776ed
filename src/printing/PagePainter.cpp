#include "printing/PagePainter.h"

#include "lib/AppError.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextOption>

QFont ToQFont(const FontSpec& spec)
{
    QFont font(spec.family);
    font.setPointSize(spec.pointSize > 0 ? spec.pointSize : 1);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

FontSpec ToFontSpec(const QFont& font)
{
    return {font.family(), font.pointSize(), font.bold(),
            font.italic(), font.underline(), font.strikeOut()};
}

void PaintChequePage(QPainter& painter, const ChequePage& page, qreal dotsPerInch)
{
    const qreal s = dotsPerInch / 96.0;
    painter.save();
    if (page.landscape) {
        // A thin black line along the four edges of the landscape page.
        const QRectF edge(0, 0, 1123 * s, 794 * s);
        painter.setPen(QPen(Qt::black, std::max<qreal>(1.0, s)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(edge.adjusted(s / 2, s / 2, -s, -s));
    }
    painter.setPen(Qt::black);
    for (const TextElement& e : page.elements) {
        const QFont font = ToQFont(e.font);
        painter.setFont(font);
        const qreal lineHeight = QFontMetricsF(font, painter.device()).height();
        const qreal left = e.left * s, top = e.top * s, width = e.width * s;
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(e.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        option.setAlignment((e.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute |
                            Qt::AlignTop);
        if (e.cutAtWidth) {
            const QRectF box(left, top, std::max<qreal>(0, width), lineHeight);
            painter.save();
            painter.setClipRect(box);
            painter.drawText(box, e.text, option);
            painter.restore();
            continue;
        }
        // The text may run beyond its box: a right-aligned text keeps its right end on
        // the box's right edge and grows leftwards, a left-aligned one grows rightwards.
        const qreal room = std::max<qreal>(
            width, QFontMetricsF(font, painter.device()).horizontalAdvance(e.text) + 4 * s);
        const QRectF box = e.alignRight ? QRectF(left + width - room, top, room, lineHeight)
                                        : QRectF(left, top, room, lineHeight);
        painter.drawText(box, e.text, option);
    }
    painter.restore();
}

void PrintChequePage(const ChequePage& page, QPrinter& printer)
{
    printer.setCopyCount(1);
    printer.setFullPage(true);
    const QPageLayout layout(QPageSize(QPageSize::A4),
                             page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    printer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(QStringLiteral("Printing on %1 could not start")
                           .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                   : printer.outputFileName()));
    PaintChequePage(painter, page, printer.resolution());
    if (!painter.end())
        throw AppError(QStringLiteral("Printing on %1 failed").arg(printer.printerName()));
}

void WriteChequePdf(const ChequePage& page, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setCreator(QStringLiteral("NiloChequePrint"));
    PrintChequePage(page, printer);
}

void PrintChequePageOn(const ChequePage& page, const QString& printerName)
{
    const QPrinterInfo info = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                    : QPrinterInfo::printerInfo(printerName);
    if (info.isNull())
        throw AppError(QStringLiteral("No printer named '%1'").arg(printerName));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    PrintChequePage(page, printer);
}
