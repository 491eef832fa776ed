// Handing a PDF page to CUPS: against a private server with queues on real vendor drivers
// that declare hardware margins, the page must arrive whole and unmoved, and every refusal
// must come back as a failure with its reason and no job left behind.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "render/CupsJob.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cups/cups.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Placed
{
    QString text;
    QPointF at; // baseline start, in points from the page's top left
};

// Texts near every edge and inside the drivers' 11.6-12 pt margins, where a driver that
// moved or clipped the page would show it first.
QList<Placed> texts(QPageLayout::Orientation orientation)
{
    const bool portrait = orientation == QPageLayout::Portrait;
    const qreal w = portrait ? 595 : 842, h = portrait ? 842 : 595;
    return {{u"TopLeft"_s, {4, 14}},
            {u"Middle"_s, {w / 2 - 20, h / 2}},
            {u"Right"_s, {w - 60, 200}},
            {u"Bottom"_s, {120, h - 6}},
            {u"Corner"_s, {w - 50, h - 8}}};
}

// A4 at 72 dpi, full page, no margins: one device unit is one point.
QByteArray makePdf(QPageLayout::Orientation orientation)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF()));
        QPainter painter(&writer);
        QFont font(u"DejaVu Sans"_s);
        font.setPointSizeF(10);
        painter.setFont(font);
        for (const Placed& t : texts(orientation))
            painter.drawText(t.at, t.text);
    }
    return buffer.data();
}

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

struct PdfPage
{
    QSizeF size;
    int rotation = -1;
    QMap<QString, QRectF> words;
};

// Page size and rotation as pdfinfo reports them, and word boxes from pdftotext -bbox.
PdfPage inspect(const QString& path)
{
    PdfPage page;
    const QString info = run(u"pdfinfo"_s, {path});
    const auto size = QRegularExpression(uR"(Page size:\s+([\d.]+) x ([\d.]+) pts)"_s).match(info);
    const auto rot = QRegularExpression(uR"(Page rot:\s+(\d+))"_s).match(info);
    if (size.hasMatch())
        page.size = {size.captured(1).toDouble(), size.captured(2).toDouble()};
    if (rot.hasMatch())
        page.rotation = rot.captured(1).toInt();
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    const QString html = run(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s});
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        page.words.insert(m.captured(5),
                          QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return page;
}

// The largest distance between the same word's box edges in two pages, or infinity when a
// word is missing.
qreal worstShift(const QMap<QString, QRectF>& expected, const QMap<QString, QRectF>& actual)
{
    qreal worst = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!actual.contains(it.key()))
            return qInf();
        const QRectF a = it.value(), b = actual.value(it.key());
        worst = std::max({worst, qAbs(a.left() - b.left()), qAbs(a.top() - b.top()),
                          qAbs(a.right() - b.right()), qAbs(a.bottom() - b.bottom())});
    }
    return worst;
}

// A landscape page put on portrait paper is turned a quarter counter-clockwise: a point
// (x, y) of the page lands at (y, pageWidth - x) on the paper.
QMap<QString, QRectF> turnedOntoPortrait(const QMap<QString, QRectF>& words, qreal pageWidth)
{
    QMap<QString, QRectF> turned;
    for (auto it = words.cbegin(); it != words.cend(); ++it) {
        const QRectF r = it.value();
        turned.insert(it.key(), QRectF(QPointF(r.top(), pageWidth - r.right()),
                                       QPointF(r.bottom(), pageWidth - r.left())));
    }
    return turned;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// The state of a job on the server (IPP_JSTATE_*), 0 when the server does not know it.
int jobState(int jobId)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t* state =
        response ? ippFindAttribute(response, "job-state", IPP_TAG_ENUM) : nullptr;
    const int result = state ? ippGetInteger(state, 0) : 0;
    ippDelete(response);
    return result;
}

int waitForJob(int jobId)
{
    QElapsedTimer timer;
    timer.start();
    int state = jobState(jobId);
    while (state > 0 && state < IPP_JSTATE_CANCELED && timer.elapsed() < 60000) {
        QTest::qWait(50);
        state = jobState(jobId);
    }
    return state;
}

// Every job the server holds, finished ones included.
int jobCount()
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return count;
}

// The value of the first PCL XL attribute `id` set from a ubyte (c0 vv f8 id), or -1.
int pclXlByteAttribute(const QByteArray& stream, quint8 id)
{
    const QByteArray tag = QByteArray("\xf8", 1) + char(id);
    for (qsizetype at = stream.indexOf(tag); at >= 2; at = stream.indexOf(tag, at + 1))
        if (quint8(stream[at - 2]) == 0xc0)
            return quint8(stream[at - 1]);
    return -1;
}

} // namespace

class CupsJobTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    QString script_ = QStringLiteral(NILO_PRIVATE_CUPS);
    QList<qint64> submitMs_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString admin(const QString& tool, const QStringList& args)
    {
        int code = 0;
        const QString out = run(tool, args, &code);
        return code == 0 ? QString() : out + u" (exit %1)"_s.arg(code);
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(u"/usr/sbin/cupsd"_s))
            QSKIP("cupsd is not installed (scripts/install-deps.sh --test installs cups)");
        QVERIFY(dir_.isValid());
        // Only the private server, and no lpoptions or printer choice of the user's.
        qputenv("CUPS_SERVER", path(u"cups.sock"_s).toUtf8());
        qputenv("HOME", dir_.path().toUtf8());
        // Client settings (client.conf, root's lpoptions) from the private server's folder.
        qputenv("CUPS_SERVERROOT", path(u"serverroot"_s).toUtf8());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        int code = 0;
        const QString out = run(u"bash"_s, {script_, u"start"_s, dir_.path()}, &code);
        QVERIFY2(code == 0, qPrintable(out));
    }

    void cleanupTestCase()
    {
        if (!submitMs_.isEmpty()) {
            std::sort(submitMs_.begin(), submitMs_.end());
            qInfo("submitting one job: median %lld ms, worst %lld ms over %lld jobs",
                  submitMs_[submitMs_.size() / 2], submitMs_.last(), qint64(submitMs_.size()));
        }
        if (dir_.isValid())
            run(u"bash"_s, {script_, u"stop"_s, dir_.path()});
    }

    void listsQueuesAndDefault()
    {
        QCOMPARE(admin(u"lpadmin"_s, {u"-d"_s, u"pxl"_s}), QString());
        const CupsPrinterList list = ListCupsPrinters();
        QVERIFY2(list.reachable, qPrintable(list.detail));
        QCOMPARE(list.names, QStringList({u"fuji"_s, u"pxl"_s}));
        QCOMPARE(list.defaultName, u"pxl"_s);
    }

    void pageArrivesUnmoved_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("orientation");
        for (const QString& queue : {u"fuji"_s, u"pxl"_s})
            for (const int o : {int(QPageLayout::Portrait), int(QPageLayout::Landscape)})
                QTest::addRow("%s %s", qPrintable(queue), o ? "landscape" : "portrait")
                    << queue << o;
    }
    void pageArrivesUnmoved()
    {
        QFETCH(QString, queue);
        QFETCH(int, orientation);
        const auto o = QPageLayout::Orientation(orientation);
        const QByteArray pdf = makePdf(o);
        const QString sent = path(u"sent.pdf"_s);
        QVERIFY(writeFile(sent, pdf));
        const PdfPage original = inspect(sent);
        QCOMPARE(original.words.size(), texts(o).size());
        const bool portrait = o == QPageLayout::Portrait;
        QVERIFY(qAbs(original.size.width() - (portrait ? 595.28 : 841.89)) < 0.5);
        QVERIFY(qAbs(original.size.height() - (portrait ? 841.89 : 595.28)) < 0.5);

        QElapsedTimer timer;
        timer.start();
        const CupsJobResult job = SubmitPdfJob(queue, pdf, u"cheque"_s);
        submitMs_ << timer.elapsed();
        QVERIFY2(job.accepted, qPrintable(CupsFailureMessage(job)));
        QVERIFY(job.jobId > 0);
        QCOMPARE(job.failure, CupsJobResult::Failure::None);
        QCOMPARE(CupsFailureMessage(job), QString());
        QCOMPARE(waitForJob(job.jobId), int(IPP_JSTATE_COMPLETED));

        // The document the queue holds is the page as painted, byte for byte.
        const QString spooled = path(u"spool/d%1-001"_s.arg(job.jobId, 5, 10, QChar(u'0')));
        QCOMPARE(readFile(spooled), pdf);
        const PdfPage held = inspect(spooled);
        QCOMPARE(held.size, original.size);
        QCOMPARE(held.rotation, 0);
        QVERIFY(worstShift(original.words, held.words) <= 0.5);

        const QByteArray output = readFile(path(u"out/%1.prn"_s.arg(queue)));
        QVERIFY(!output.isEmpty());
        if (queue == u"pxl"_s) {
            // PCL XL raster: no text to measure, but the page set up must be A4 portrait
            // (the driver's default is Letter), a landscape page turned onto it.
            QCOMPARE(pclXlByteAttribute(output, 0x25), 2); // MediaSize eA4Paper
            QCOMPARE(pclXlByteAttribute(output, 0x28), 0); // Orientation ePortrait
            return;
        }
        // The PDF driver wraps its PDF in PJL; what the printer renders lies between.
        const qsizetype start = output.indexOf("%PDF"), end = output.lastIndexOf("%%EOF");
        QVERIFY(start >= 0 && end > start);
        const QString printed = path(u"printed.pdf"_s);
        QVERIFY(writeFile(printed, output.mid(start, end + 5 - start)));
        const PdfPage paper = inspect(printed);
        // A4 portrait paper as the driver names it (595 x 842); a landscape page is turned
        // onto it, and nothing is scaled or moved by the 11.6 pt margins.
        QCOMPARE(paper.size, QSizeF(595, 842));
        QCOMPARE(paper.rotation, 0);
        const auto expected =
            portrait ? original.words : turnedOntoPortrait(original.words, original.size.width());
        const qreal shift = worstShift(expected, paper.words);
        qInfo("%s: printed texts within %.3f pt of the page", QTest::currentDataTag(), shift);
        QVERIFY2(shift <= 0.5, qPrintable(u"texts moved by %1 pt"_s.arg(shift)));
    }

    // The whole way from the tool: the cheque sent to each real-driver queue is its --pdf
    // page, unmoved, in both feeds; a stored calibration moves it by exactly its offset, and
    // a refusing queue makes the tool fail.
    void chequeFromTheToolArrivesAsItsPdf()
    {
        const QString tool = qEnvironmentVariable("NILOCHEQUE");
        if (tool.isEmpty())
            QSKIP("run under ctest");
        const QString db = path(u"NiloChequePrint.mdb"_s);
        QVERIFY(CreateDatabase(db).isEmpty());
        {
            Database dm(Database::File{db});
            QSqlQuery(dm.connection()).exec(u"insert into tblAccountMst (BankName) values ('b')"_s);
            LayoutRows rows;
            rows[0] = {1, 650, 320, 10, 5, {}, {}, false, true};
            for (int id = 2; id <= 10; ++id)
                rows[id - 1] = {id,          60 + id * 25, 20 + id * 27, 200,    12,
                                u"Tahoma"_s, u"Regular"_s, true,         id == 5};
            QString error;
            QVERIFY2(SaveLayout(dm.connection(), 1, rows, {}, {}, &error), qPrintable(error));
        }
        const QStringList cheque = {u"print"_s,     u"--database"_s, db,
                                    u"--account"_s, u"1"_s,          u"--amount"_s,
                                    u"1250000"_s,   u"--payee"_s,    u"Rezaei"_s,
                                    u"--date"_s,    u"1403/01/15"_s};
        auto printOn = [&](const QString& queue, const QStringList& more, int* code) {
            const QString out = run(tool, cheque + more + QStringList{u"--printer"_s, queue}, code);
            const auto m = QRegularExpression(u"\\(job (\\d+)\\)"_s).match(out);
            return m.hasMatch() ? m.captured(1).toInt() : 0;
        };
        for (const QString& feed : {u"horizontal"_s, u"vertical"_s}) {
            const QString reference = path(u"reference-%1.pdf"_s.arg(feed));
            int code = -1;
            run(tool, cheque + QStringList{u"--feed"_s, feed, u"--pdf"_s, reference}, &code);
            QCOMPARE(code, 0);
            const PdfPage expected = inspect(reference);
            QVERIFY(expected.words.size() >= 8);
            for (const QString& queue : {u"fuji"_s, u"pxl"_s}) {
                const int job = printOn(queue, {u"--feed"_s, feed}, &code);
                QCOMPARE(code, 0);
                QVERIFY(job > 0);
                QCOMPARE(waitForJob(job), int(IPP_JSTATE_COMPLETED));
                const PdfPage held = inspect(path(u"spool/d%1-001"_s.arg(job, 5, 10, QChar(u'0'))));
                QCOMPARE(held.size, expected.size);
                const qreal shift = worstShift(expected.words, held.words);
                QVERIFY2(shift <= 0.5, qPrintable(u"%1 %2: %3 pt"_s.arg(queue, feed).arg(shift)));
            }
        }
        // A calibration of (2.0, -1.0) mm stored for fuji moves every text by (5.67, -2.83) pt.
        int code = -1;
        run(tool,
            {u"calibrate"_s, u"--database"_s, db, u"--printer"_s, u"fuji"_s, u"--x"_s, u"2"_s,
             u"--y"_s, u"-1"_s},
            &code);
        QCOMPARE(code, 0);
        const PdfPage expected = inspect(path(u"reference-horizontal.pdf"_s));
        const int job = printOn(u"fuji"_s, {u"--feed"_s, u"horizontal"_s}, &code);
        QCOMPARE(code, 0);
        QCOMPARE(waitForJob(job), int(IPP_JSTATE_COMPLETED));
        const PdfPage moved = inspect(path(u"spool/d%1-001"_s.arg(job, 5, 10, QChar(u'0'))));
        for (auto it = expected.words.cbegin(); it != expected.words.cend(); ++it) {
            const QRectF m = moved.words.value(it.key());
            QVERIFY2(qAbs(m.left() - it->left() - 5.67) < 0.01 &&
                         qAbs(m.top() - it->top() + 2.83) < 0.01,
                     qPrintable(it.key()));
        }
        // A queue that refuses: no job, a non-zero exit with the reason.
        QCOMPARE(admin(u"cupsreject"_s, {u"pxl"_s}), QString());
        const int jobsBefore = jobCount();
        QCOMPARE(printOn(u"pxl"_s, {}, &code), 0);
        QCOMPARE(code, 1);
        QCOMPARE(jobCount(), jobsBefore);
        QCOMPARE(admin(u"cupsaccept"_s, {u"pxl"_s}), QString());
    }

    void refusalsGiveReasonAndNoJob_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QStringList>("breakIt"); // tool and arguments that spoil the queue
        QTest::addColumn<QStringList>("mendIt");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");  // expected in the detail
        QTest::addColumn<QString>("message"); // expected in the Persian message
        using F = CupsJobResult::Failure;
        QTest::newRow("rejecting queue")
            << u"fuji"_s << QStringList{u"cupsreject"_s, u"-r"_s, u"tray removed"_s, u"fuji"_s}
            << QStringList{u"cupsaccept"_s, u"fuji"_s} << int(F::NotAccepting) << u"tray removed"_s
            << u"چاپگر \"fuji\" كار چاپي نمي پذيرد"_s;
        QTest::newRow("stopped queue")
            << u"pxl"_s << QStringList{u"cupsdisable"_s, u"-r"_s, u"paper jam"_s, u"pxl"_s}
            << QStringList{u"cupsenable"_s, u"pxl"_s} << int(F::Stopped) << u"paper jam"_s
            << u"چاپگر \"pxl\" متوقف شده است"_s;
        // The queue takes jobs, but not from this user: the server's own refusal is passed on.
        const QString user = QString::fromUtf8(cupsUser());
        QTest::newRow("user not allowed")
            << u"fuji"_s
            << QStringList{u"lpadmin"_s, u"-p"_s, u"fuji"_s, u"-u"_s, u"deny:"_s + user}
            << QStringList{u"lpadmin"_s, u"-p"_s, u"fuji"_s, u"-u"_s, u"allow:all"_s}
            << int(F::Refused) << QString() << u"چاپگر \"fuji\" كار چاپي را نپذيرفت"_s;
        QTest::newRow("unknown printer")
            << u"nosuch"_s << QStringList() << QStringList() << int(F::NoSuchPrinter) << QString()
            << u"چاپگر \"nosuch\" يافت نشد"_s;
        QTest::newRow("no printer named")
            << QString() << QStringList() << QStringList() << int(F::NoSuchPrinter) << QString()
            << u"چاپگري انتخاب نشده است"_s;
    }
    void refusalsGiveReasonAndNoJob()
    {
        QFETCH(QString, queue);
        QFETCH(QStringList, breakIt);
        QFETCH(QStringList, mendIt);
        QFETCH(int, failure);
        QFETCH(QString, reason);
        QFETCH(QString, message);
        if (!breakIt.isEmpty())
            QCOMPARE(admin(breakIt.takeFirst(), breakIt), QString());
        const auto mend = qScopeGuard([&] {
            if (!mendIt.isEmpty())
                admin(mendIt.takeFirst(), mendIt);
        });

        const int jobsBefore = jobCount();
        const CupsJobResult job = SubmitPdfJob(queue, makePdf(QPageLayout::Portrait), u"c"_s);
        QCOMPARE(int(job.failure), failure);
        QVERIFY(!job.accepted);
        QCOMPARE(job.jobId, 0);
        QCOMPARE(jobCount(), jobsBefore);
        if (!reason.isEmpty())
            QCOMPARE(job.detail, reason);
        const QString text = CupsFailureMessage(job);
        QVERIFY2(text.startsWith(message), qPrintable(text));
        // The technical reason, when there is one, is on its own second line.
        if (!job.detail.isEmpty())
            QCOMPARE(text.section(u'\n', 1), job.detail);
    }

    // A server without a queue is there: an empty list, not an error.
    void noQueueIsAnEmptyList()
    {
        for (const QString& queue : {u"fuji"_s, u"pxl"_s})
            QCOMPARE(admin(u"lpadmin"_s, {u"-x"_s, queue}), QString());
        const CupsPrinterList list = ListCupsPrinters();
        QVERIFY2(list.reachable, qPrintable(list.detail));
        QVERIFY(list.names.isEmpty());
        QVERIFY(list.defaultName.isEmpty());
    }

    // Declared last: stops the server.
    void stoppedServerIsUnreachable()
    {
        QVERIFY(ListCupsPrinters().reachable);
        run(u"bash"_s, {script_, u"stop"_s, dir_.path()});
        const CupsJobResult job = SubmitPdfJob(u"fuji"_s, makePdf(QPageLayout::Portrait), u"c"_s);
        QCOMPARE(job.failure, CupsJobResult::Failure::ServerUnreachable);
        QVERIFY(!job.accepted);
        QVERIFY(!job.detail.isEmpty());
        QVERIFY(CupsFailureMessage(job).startsWith(u"ارتباط با سرويس چاپ برقرار نشد\n"_s));
        const CupsPrinterList list = ListCupsPrinters();
        QVERIFY(!list.reachable);
        QVERIFY(list.names.isEmpty());
    }
};

QTEST_MAIN(CupsJobTest)
#include "test_cups_job.moc"
