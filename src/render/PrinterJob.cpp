#include "render/PrinterJob.h"

#include "core/errors/AppError.h"
#include "render/CupsJob.h"
#include "render/PagePainter.h"

using namespace Qt::StringLiterals;

QString PrintChequePage(const ChequePage& page, const QString& printerName, int* jobId)
{
    QByteArray pdf;
    try {
        pdf = RenderChequePdf(page);
    } catch (const AppError& e) {
        return u"صفحه چك ساخته نشد\n"_s + e.message();
    }
    const CupsJobResult result = SubmitPdfJob(printerName, pdf, u"NiloChequePrint"_s);
    if (!result.accepted || result.jobId <= 0)
        return CupsFailureMessage(result);
    if (jobId)
        *jobId = result.jobId;
    return {};
}
