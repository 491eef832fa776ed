#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What became of a document handed to CUPS. Only an accepted job with a job id was printed.
struct CupsJobResult
{
    bool accepted = false;
    int jobId = 0;
    enum class Failure {
        None,
        NoSuchPrinter,
        NotAccepting,
        Stopped,
        Refused,
        ServerUnreachable
    } failure = Failure::None;
    QString printer;
    QString detail; // libcups' own text, or the queue's state message
};

// Hands the PDF bytes to the named queue as they are: A4, one copy, no scaling, so the
// page lands where it was painted whatever the driver's margins. The queue is checked first
// (exists, accepts jobs, not stopped), and every step of the submission is checked; a
// document that fails half way is cancelled so no partial job stays queued. Talks to the
// server libcups chooses (CUPS_SERVER, client.conf, the local scheduler).
CupsJobResult SubmitPdfJob(const QString& printerName, const QByteArray& pdf, const QString& title);

// The Persian message for a failed submission, with the technical reason on a second line;
// empty for an accepted job.
QString CupsFailureMessage(const CupsJobResult& result);

// The queues of the server (printers and classes) in its order, and the user's default
// destination (lpoptions, then the server's default) when it is one of them.
struct CupsPrinterList
{
    bool reachable = false;
    QStringList names;
    QString defaultName;
    QString detail; // why the list could not be read
};
CupsPrinterList ListCupsPrinters();
