// The print window: a keystroke in the amount field to the painted preview, loading an
// account with a 3000 x 1400 scanned cheque, composing and writing the PDF page, and the
// process's peak memory with the account loaded; and the command-line tool end to end.
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "gui/common/DialogSeam.h"
#include "gui/print/PrintWindow.h"
#include "render/Fonts.h"
#include "render/PagePainter.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

struct Stats
{
    double median, worst;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

void report(const char* name, const Stats& s, const char* unit, const char* budget)
{
    std::printf("RESULT\t%s\t%.2f\t%.2f\t%s\t%s\n", name, s.median, s.worst, unit, budget);
}

QByteArray scannedCheque()
{
    QImage image(3000, 1400, QImage::Format_RGB32);
    image.fill(QColor(226, 236, 230));
    QPainter p(&image);
    p.setPen(QPen(QColor(90, 120, 150), 3));
    for (int y = 100; y < 1400; y += 90)
        p.drawLine(150, y, 2850, y + 20);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

LayoutRows rows()
{
    LayoutRows r;
    r[0] = {1, 650, 320, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        r[id - 1] = {id,
                     60 + id * 20,
                     20 + id * 28,
                     160,
                     11,
                     QStringLiteral("Tahoma"),
                     QStringLiteral("Bold"),
                     true,
                     true};
    return r;
}

void key(QWidget* target, int code, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterProgramFonts();
    // No person answers here: a machine without printers would otherwise wait on the
    // "no printer" message for ever.
    DialogSeam::setMessageHook([](const ShownMessage&) { return true; });
    QTemporaryDir dir;
    CreateDatabase(dir.filePath(QStringLiteral("NiloChequePrint.mdb")));
    Database dm(dir.path());
    QSqlQuery(dm.connection())
        .exec(QStringLiteral("insert into tblAccountMst (BankName) values ('b')"));
    SaveLayout(dm.connection(), 1, rows(), scannedCheque());

    PrintWindow window;
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> loads;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        window.LoadAccount(1);
        window.repaint();
        loads.push_back(t.nsecsElapsed() / 1e6);
    }
    report("account load, 3000x1400 JPEG", stats(loads), "ms", "a few tens of ms");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("RESULT\tpeak memory, account loaded\t%.1f\t%.1f\tMiB\t-\n",
                usage.ru_maxrss / 1024.0, usage.ru_maxrss / 1024.0);

    // Keystrokes: 12 digits typed, then erased, and again; each to a synchronously
    // painted window.
    QLineEdit* amount = window.amountEdit();
    amount->setFocus();
    std::vector<double> keys;
    for (int round = 0; round < 20; ++round) {
        for (int d = 0; d < 12; ++d) {
            QElapsedTimer t;
            t.start();
            key(amount, Qt::Key_1 + d % 9, QString(QChar(u'1' + d % 9)));
            window.repaint();
            keys.push_back(t.nsecsElapsed() / 1e6);
        }
        for (int d = 0; d < 12; ++d) {
            QElapsedTimer t;
            t.start();
            key(amount, Qt::Key_Backspace, QStringLiteral("\b"));
            window.repaint();
            keys.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    report("amount keystroke to painted preview", stats(keys), "ms", "16.7 (one 60 Hz frame)");

    amount->setText(QStringLiteral("987654321012345"));
    std::vector<double> pdfs;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        WriteChequePdf(window.composePage(), dir.filePath(QStringLiteral("page.pdf")));
        pdfs.push_back(t.nsecsElapsed() / 1e6);
    }
    report("compose and write the PDF page", stats(pdfs), "ms", "100");

    // The command-line tool end to end, a process start included (argument 1: nilocheque).
    if (argc > 1) {
        std::vector<double> runs;
        for (int i = 0; i < 15; ++i) {
            QElapsedTimer t;
            t.start();
            QProcess tool;
            tool.start(QString::fromLocal8Bit(argv[1]),
                       {QStringLiteral("print"), QStringLiteral("--database"),
                        dir.filePath(QStringLiteral("NiloChequePrint.mdb")),
                        QStringLiteral("--account"), QStringLiteral("1"),
                        QStringLiteral("--amount"), QStringLiteral("1250000"),
                        QStringLiteral("--pdf"), dir.filePath(QStringLiteral("tool.pdf"))});
            if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
                return 1;
            runs.push_back(t.nsecsElapsed() / 1e6);
        }
        report("nilocheque print --pdf, end to end", stats(runs), "ms", "150");
    }
    return 0;
}
