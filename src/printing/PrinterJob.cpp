#include "printing/PrinterJob.h"

#include "lib/AppError.h"
#include "printing/PagePainter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

QString PrintChequePage(const ChequePage& page, const QString& printerName)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (printerName.isEmpty() || info.isNull())
        return u"چاپگر «%1» يافت نشد"_s.arg(printerName);
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setCopyCount(1);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true); // last: a later layout call would bring the margins back
    QPainter painter;
    if (!painter.begin(&printer))
        return u"چاپ روي «%1» آغاز نشد"_s.arg(printerName);
    PaintChequePage(painter, page, printer.resolution());
    if (!painter.end())
        return u"چاپ روي «%1» انجام نشد"_s.arg(printerName);
    return {};
}
