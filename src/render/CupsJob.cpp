#include "render/CupsJob.h"

#include <cups/cups.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct IppDeleter
{
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// libcups' default password callback reads from the terminal; a program with a window
// would wait there for ever, so a queue that wants a password refuses instead.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*)
{
    return nullptr;
}

QString LastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

QByteArray PrinterUri(const QByteArray& name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.constData());
    return QByteArray(uri);
}

// The IPP error of a request that got no answer at all: the server was not reached.
bool ServerNotReached(const ipp_t* response)
{
    return !response && cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

CupsJobResult Failed(CupsJobResult result, CupsJobResult::Failure failure, const QString& detail)
{
    result.accepted = false;
    result.jobId = 0;
    result.failure = failure;
    result.detail = detail;
    return result;
}

// Checks that the queue exists, accepts jobs and is not stopped; returns the failure or None.
CupsJobResult CheckQueue(CupsJobResult result, const QByteArray& name)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = PrinterUri(name);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    static const char* const wanted[] = {"printer-state", "printer-is-accepting-jobs",
                                         "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(wanted)), nullptr, wanted);
    const IppPtr response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (ServerNotReached(response.get()))
        return Failed(result, CupsJobResult::Failure::ServerUnreachable, LastCupsError());
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
        return Failed(result, CupsJobResult::Failure::NoSuchPrinter, LastCupsError());
    if (!response || cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST)
        return Failed(result, CupsJobResult::Failure::Refused, LastCupsError());

    ipp_t* answer = response.get();
    ipp_attribute_t* message = ippFindAttribute(answer, "printer-state-message", IPP_TAG_ZERO);
    const QString stateMessage =
        message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    ipp_attribute_t* accepting =
        ippFindAttribute(answer, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    if (accepting && !ippGetBoolean(accepting, 0))
        return Failed(result, CupsJobResult::Failure::NotAccepting, stateMessage);
    ipp_attribute_t* state = ippFindAttribute(answer, "printer-state", IPP_TAG_ENUM);
    if (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED)
        return Failed(result, CupsJobResult::Failure::Stopped, stateMessage);
    return result;
}

} // namespace

CupsJobResult SubmitPdfJob(const QString& printerName, const QByteArray& pdf, const QString& title)
{
    CupsJobResult result;
    result.printer = printerName;
    if (printerName.trimmed().isEmpty())
        return Failed(result, CupsJobResult::Failure::NoSuchPrinter, QString());
    if (pdf.isEmpty())
        return Failed(result, CupsJobResult::Failure::Refused, u"empty document"_s);

    cupsSetPasswordCB2(NoPassword, nullptr);
    const QByteArray name = printerName.toUtf8();
    result = CheckQueue(result, name);
    if (result.failure != CupsJobResult::Failure::None)
        return result;

    // The page is already A4 at its final place: nothing may scale, fit or repeat it.
    cups_option_t* options = nullptr;
    int optionCount = 0;
    optionCount = cupsAddOption("media", "iso_a4_210x297mm", optionCount, &options);
    optionCount = cupsAddOption("copies", "1", optionCount, &options);
    optionCount = cupsAddOption("print-scaling", "none", optionCount, &options);
    const QByteArray jobTitle = title.isEmpty() ? QByteArray("cheque") : title.toUtf8();
    const int jobId = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(),
                                    optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (jobId <= 0) {
        const auto failure = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                                 ? CupsJobResult::Failure::ServerUnreachable
                                 : CupsJobResult::Failure::Refused;
        return Failed(result, failure, LastCupsError());
    }

    // From here a failure must not leave a job waiting for a document that never comes.
    const auto abandon = [&](const QString& detail) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), jobId, 0);
        return Failed(result, CupsJobResult::Failure::Refused, detail);
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), jobId, jobTitle.constData(),
                          CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE)
        return abandon(LastCupsError());
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size())) !=
        HTTP_STATUS_CONTINUE) {
        const QString detail = LastCupsError();
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        return abandon(detail);
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) != IPP_STATUS_OK)
        return abandon(LastCupsError());

    result.accepted = true;
    result.jobId = jobId;
    return result;
}

QString CupsFailureMessage(const CupsJobResult& result)
{
    QString message;
    switch (result.failure) {
    case CupsJobResult::Failure::None:
        return QString();
    case CupsJobResult::Failure::NoSuchPrinter:
        message = result.printer.trimmed().isEmpty()
                      ? u"چاپگري انتخاب نشده است"_s
                      : u"چاپگر \"%1\" يافت نشد"_s.arg(result.printer);
        break;
    case CupsJobResult::Failure::NotAccepting:
        message = u"چاپگر \"%1\" كار چاپي نمي پذيرد"_s.arg(result.printer);
        break;
    case CupsJobResult::Failure::Stopped:
        message = u"چاپگر \"%1\" متوقف شده است"_s.arg(result.printer);
        break;
    case CupsJobResult::Failure::Refused:
        message = u"چاپگر \"%1\" كار چاپي را نپذيرفت"_s.arg(result.printer);
        break;
    case CupsJobResult::Failure::ServerUnreachable:
        message = u"ارتباط با سرويس چاپ برقرار نشد"_s;
        break;
    }
    if (!result.detail.isEmpty())
        message += u'\n' + result.detail;
    return message;
}

CupsPrinterList ListCupsPrinters()
{
    CupsPrinterList list;
    cupsSetPasswordCB2(NoPassword, nullptr);
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    const IppPtr response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (!response) {
        // A server without any queue answers "not found"; that is an empty list, not an error.
        list.reachable = cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND;
        if (!list.reachable)
            list.detail = LastCupsError();
        return list;
    }
    list.reachable = true;
    if (cupsLastError() >= IPP_STATUS_ERROR_BAD_REQUEST &&
        cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
        list.detail = LastCupsError();
    for (ipp_attribute_t* attr = ippFirstAttribute(response.get()); attr;
         attr = ippNextAttribute(response.get()))
        if (ippGetGroupTag(attr) == IPP_TAG_PRINTER && ippGetName(attr) &&
            qstrcmp(ippGetName(attr), "printer-name") == 0)
            list.names << QString::fromUtf8(ippGetString(attr, 0, nullptr));

    // The user's choice (lpoptions, LPDEST/PRINTER) comes before the server's default.
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
        const QString name = QString::fromUtf8(dest->name);
        if (list.names.contains(name))
            list.defaultName = name;
        cupsFreeDests(1, dest);
    }
    return list;
}
