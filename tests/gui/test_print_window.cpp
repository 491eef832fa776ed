// The cheque print window: loading an account's layout, the texts typed into the preview,
// the switches, and the page the print button composes.
#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"
#include "core/storage/ChequeRegister.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "core/storage/LayoutStore.h"
#include "gui/common/ChequeItemBox.h"
#include "gui/common/Guard.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/print/PrintWindow.h"
#include "gui/print/SeriesDialog.h"
#include "render/Fonts.h"
#include "render/PagePainter.h"
#include "render/Printers.h"
#include "support/PdfWords.h"
#include "widgets/JalaliDateEdit.h"

#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/ChequeFixtures.h"
#include <QToolButton>

#include <cups/cups.h>

using namespace Qt::StringLiterals;

namespace {

// A layout whose rows 3 and 7 switch their items on; every item at its own place.
LayoutRows sampleRows()
{
    LayoutRows rows;
    rows[0] = {1, 650, 320, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        rows[id - 1] = {id,          40 + id * 30, 20 + id * 25,       120,  11,
                        u"Tahoma"_s, u"Regular"_s, id == 3 || id == 7, false};
    rows[1].sideMargin = 562; // the date in digits, ending at 682
    rows[1].upMargin = 39;
    return rows;
}

QStringList textsOf(const ChequePage& page)
{
    QStringList texts;
    for (const TextElement& e : page.elements)
        texts << e.text;
    return texts;
}

} // namespace

class PrintWindowTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<Database> dm_;
    QList<ShownMessage> shown_;
    int accountId_ = 0;

    // The check box's indicator stands at its right end in a right-to-left window.
    static void clickSwitch(QWidget* box)
    {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 8, box->height() / 2));
    }

    void type(QWidget* w, const QString& keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(w, c.toLatin1());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(CreateDatabase(dir_.filePath(u"NiloChequePrint.mdb"_s)).isEmpty());
        dm_ = std::make_unique<Database>(dir_.path());
        QSqlQuery q(dm_->connection());
        QVERIFY(q.exec(
            u"insert into tblAccountMst (Radif, BankName, AccountNo) values (1, 'ملت', '123-456')"_s));
        accountId_ = q.lastInsertId().toInt();
        QString error;
        QVERIFY2(SaveLayout(dm_->connection(), accountId_, sampleRows(), chequeJpeg(), {}, &error),
                 qPrintable(error));
        DialogSeam::setMessageHook([this](const ShownMessage& m) { return shown_ << m, true; });
        SetNowForTests([] { return EncodeJalaliDate(1403, 1, 15); });
    }
    void init() { shown_.clear(); }

    void withoutAnAccountTypingChangesNoBox()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString before = w.box(PrintWindow::NumericPrice)->text();
        w.amountEdit()->setFocus();
        type(w.amountEdit(), u"125"_s);
        QCOMPARE(w.amountEdit()->text(), u"125"_s);
        QCOMPARE(w.box(PrintWindow::NumericPrice)->text(), before);
        QCOMPARE(w.loadedAccountId(), 0);
        // An empty cheque with a hint, never a pile of captions; printing says why not.
        for (int i = 0; i < PrintWindow::BoxCount; ++i)
            QVERIFY(w.box(PrintWindow::Box(i))->isHidden());
        QVERIFY(w.hintLabel()->isVisible());
        w.printCheque();
        QCOMPARE(shown_.last().text, PrintRefusalMessage(PrintRefusal::NoAccount));
    }

    void noPrinterDisablesPrinting()
    {
        // Printers are asked of a CUPS server with nothing behind its socket, so the test
        // runs on machines that have printers too.
        QTemporaryDir noServer;
        cupsSetServer(noServer.filePath(u"cups.sock"_s).toUtf8().constData());
        const auto restore = qScopeGuard([] { cupsSetServer(nullptr); });
        QVERIFY2(InstalledPrinters().isEmpty(), qPrintable(InstalledPrinters().join(u", "_s)));
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.printButton()->isEnabled());
        QCOMPARE(shown_.size(), 1);
        QCOMPARE(shown_[0].text, u"برروي سيستم چاپگري نصب نشده است"_s);
    }

    void loadAppliesTheLayout()
    {
        PrintWindow w;
        w.show();
        w.LoadAccount(accountId_);
        QCOMPARE(w.chequePanel()->size(), QSize(654, 324));
        QCOMPARE(w.chequePanel()->pos(), QPoint(42, 44));
        // Rows 3 and 7 switch the date in words and the perforation on; the rest stay off.
        QVERIFY(w.switchBox(1)->isChecked() && w.switchBox(6)->isChecked());
        for (int n : {2, 3, 4, 5})
            QVERIFY(!w.switchBox(n)->isChecked());
        QVERIFY(!w.box(PrintWindow::AlphabeticDate)->isHidden());
        QVERIFY(!w.box(PrintWindow::Perferaj)->isHidden());
        QVERIFY(w.box(PrintWindow::Cover)->isHidden());
        QVERIFY(w.box(PrintWindow::AlphabeticPrice2)->isHidden());
        // The date in digits keeps its right edge where the layout puts the box's end.
        const ChequeItemBox* date = w.box(PrintWindow::NumericDate);
        QCOMPARE(date->text(), u"1403/01/15"_s);
        QCOMPARE(date->geometry().right() + 1, 562 + 120);
        QCOMPARE(date->y(), 39);
        QCOMPARE(date->font().pointSize(), 11);
    }

    void amountFieldFillsTheFourBoxes()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setFocus();
        type(w.amountEdit(), u"25."_s);
        QCOMPARE(w.amountEdit()->text(), u"25000"_s);
        QCOMPARE(w.box(PrintWindow::NumericPrice)->text(), u"//25.000"_s);
        type(w.amountEdit(), u"x-"_s); // not amount keys: swallowed
        QCOMPARE(w.amountEdit()->text(), u"25000"_s);

        w.amountEdit()->setText(u"1250000"_s);
        QCOMPARE(w.box(PrintWindow::Perferaj)->text(), u"##1.250.000Rls"_s);
        QCOMPARE(w.box(PrintWindow::AlphabeticPrice1)->text(),
                 u"يک ميليون و دويست و پنجاه هزار ريال تمام "_s);
        QCOMPARE(w.box(PrintWindow::AlphabeticPrice2)->text(),
                 u" معادل يکصد و بيست و پنج هزار تومان تمام "_s);
        const QRect words = w.box(PrintWindow::AlphabeticPrice1)->geometry();
        const QRect toman = w.box(PrintWindow::AlphabeticPrice2)->geometry();
        QCOMPARE(toman.top(), words.bottom() + 1);
        QCOMPARE(toman.right(), words.right());

        // The field takes at most 15 characters: a 16th is refused where it is typed, and
        // a longer paste is refused whole, so the boxes always show what the field holds.
        w.amountEdit()->setText(u"123456789012345"_s);
        const QString fifteen = w.box(PrintWindow::NumericPrice)->text();
        QCOMPARE(fifteen, u"//123.456.789.012.345"_s);
        type(w.amountEdit(), u"6"_s);
        QCOMPARE(w.amountEdit()->text(), u"123456789012345"_s);
        const int before = shown_.size();
        QGuiApplication::clipboard()->setText(u"12345678901234567"_s);
        w.amountEdit()->selectAll();
        QTest::keyClick(w.amountEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.amountEdit()->text(), u"123456789012345"_s);
        QCOMPARE(w.box(PrintWindow::NumericPrice)->text(), fifteen);

        // A pasted text that is no amount: a Persian word, the field and the boxes unchanged.
        QGuiApplication::clipboard()->setText(u"12a"_s);
        w.amountEdit()->selectAll();
        QTest::keyClick(w.amountEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.amountEdit()->text(), u"123456789012345"_s);
        QCOMPARE(shown_.size(), before + 2);
        QVERIFY(shown_.last().text.contains(u"مبلغ نيست"_s));
        QVERIFY(!shown_.last().fromEventLoop);

        // Group marks as typed: the words of the value.
        QGuiApplication::clipboard()->setText(u"1,250,000"_s);
        w.amountEdit()->selectAll();
        QTest::keyClick(w.amountEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.box(PrintWindow::AlphabeticPrice1)->text(),
                 u"يک ميليون و دويست و پنجاه هزار ريال تمام "_s);

        w.amountEdit()->clear();
        QCOMPARE(w.box(PrintWindow::NumericPrice)->text(), u"مبلغ چك بعدد"_s);
        QCOMPARE(w.box(PrintWindow::Perferaj)->text(), u"Perforate"_s);
        QCOMPARE(w.box(PrintWindow::AlphabeticPrice1)->text(), u"مبلغ چك بحروف"_s);
        QCOMPARE(w.box(PrintWindow::AlphabeticPrice2)->text(), u"معادل مبلغ به تومان"_s);
    }

    void payeeDescriptionAndSwitches()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.payeeEdit()->setText(u"  علي رضايي  "_s);
        QCOMPARE(w.box(PrintWindow::Customer)->text(), u"علي رضايي"_s);
        w.payeeEdit()->clear();
        QCOMPARE(w.box(PrintWindow::Customer)->text(), u"گيرنده چك"_s);

        QVERIFY(w.descriptionEdit()->isReadOnly());
        clickSwitch(w.switchBox(3));
        QVERIFY(!w.descriptionEdit()->isReadOnly());
        QVERIFY(!w.box(PrintWindow::Description)->isHidden());
        w.descriptionEdit()->setText(u"بابت خريد"_s);
        QCOMPARE(w.box(PrintWindow::Description)->text(), u"بابت خريد"_s);
        clickSwitch(w.switchBox(3));
        QVERIFY(w.descriptionEdit()->isReadOnly());
        QVERIFY(w.descriptionEdit()->text().isEmpty());
        QCOMPARE(w.box(PrintWindow::Description)->text(), u"توضيحات"_s);
        QVERIFY(w.box(PrintWindow::Description)->isHidden());
    }

    // The national ID's own switch shows its box; a valid ID in the field is what prints.
    void nationalIdSwitchAndFieldDriveItsBox()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        QCOMPARE(w.switchBox(ChequeSwitch::NationalId)->text(), u"شناسه ملي گيرنده"_s);
        QVERIFY(!w.switchBox(ChequeSwitch::NationalId)->isChecked()); // its row is off
        QVERIFY(w.box(PrintWindow::NationalId)->isHidden());
        clickSwitch(w.switchBox(ChequeSwitch::NationalId));
        QVERIFY(w.box(PrintWindow::NationalId)->isVisible());
        w.nationalIdEdit()->setText(u"1234567890"_s); // a wrong check digit prints nothing
        QVERIFY(!textsOf(w.composePage()).contains(u"1234567890"_s));
        w.nationalIdEdit()->setText(u"1234567891"_s);
        QCOMPARE(w.box(PrintWindow::NationalId)->text(), u"1234567891"_s);
        QVERIFY(textsOf(w.composePage()).contains(u"1234567891"_s));
        clickSwitch(w.switchBox(ChequeSwitch::NationalId));
        QVERIFY(!textsOf(w.composePage()).contains(u"1234567891"_s));
    }

    void printedPageHoldsTheVisibleTextsAtTheirPlaces()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        const ChequePage page = w.composePage();
        QVERIFY(!page.landscape);
        QStringList names;
        for (const TextElement& e : page.elements)
            names << e.text;
        // Always: date, amount, words (the payee only once typed: its caption never prints);
        // switched on: date in words, perforation.
        QCOMPARE(page.elements.size(), 5);
        QVERIFY(!names.contains(u"گيرنده چك"_s));
        const TextElement& date = page.elements[0];
        const QRect box = w.box(PrintWindow::NumericDate)->geometry();
        QCOMPARE(date.left, box.left() + 69); // (793 - 654) / 2 from the middle, L = 0
        QCOMPARE(date.top, 39 + 10);
        QVERIFY(!names.contains(w.box(PrintWindow::Cover)->text()));
        const auto perforation = std::find_if(page.elements.begin(), page.elements.end(),
                                              [](const TextElement& e) { return !e.rightToLeft; });
        QVERIFY(perforation != page.elements.end());
        QCOMPARE(perforation->text, u"##1.250.000Rls"_s);
    }

    // The command-line tool prints through the same window: same texts, same places.
    void commandLinePrintWritesThePage()
    {
        const QString tool = qEnvironmentVariable("NILOCHEQUE");
        if (tool.isEmpty() || QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("run under ctest with poppler-utils");
        const QString db = dir_.filePath(u"NiloChequePrint.mdb"_s);
        const QString pdf = dir_.filePath(u"cli.pdf"_s);
        auto run = [&](const QStringList& args, QByteArray* errors = nullptr) {
            QProcess p;
            p.start(tool, QStringList{u"print"_s, u"--database"_s, db} + args);
            p.waitForFinished(30000);
            if (errors)
                *errors = p.readAllStandardError();
            return p.exitCode();
        };
        QCOMPARE(run({u"--account"_s, QString::number(accountId_), u"--amount"_s, u"1250000"_s,
                      u"--date"_s, u"1403/01/15"_s, u"--show"_s, u"cover"_s, u"--pdf"_s, pdf}),
                 0);
        QProcess text;
        text.start(u"pdftotext"_s, {pdf, u"-"_s});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(u"##1.250.000Rls"_s), qPrintable(printed));
        QVERIFY(printed.contains(u"1403/01/15"_s));
        QVERIFY(printed.contains(u"*****"_s));

        // The window and the tool print the same cheque: every word at the same place.
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.datePicker()->setDate(EncodeJalaliDate(1403, 1, 15));
        w.amountEdit()->setText(u"1250000"_s);
        w.payeeEdit()->setText(u"علي رضايي"_s);
        clickSwitch(w.switchBox(4));
        const QString fromWindow = dir_.filePath(u"window.pdf"_s);
        WriteChequePdf(w.composePage(), fromWindow);
        auto sameWords = [&](const QString& a, const QString& b) {
            const QList<PdfWord> x = PdfWords(a), y = PdfWords(b);
            if (x.isEmpty() || x.size() != y.size())
                return false;
            for (int i = 0; i < x.size(); ++i)
                if (x[i].text != y[i].text || qAbs(x[i].xMin - y[i].xMin) > 0.01 ||
                    qAbs(x[i].yMin - y[i].yMin) > 0.01 || qAbs(x[i].xMax - y[i].xMax) > 0.01)
                    return false;
            return true;
        };
        const QStringList cheque = {u"--account"_s, QString::number(accountId_),
                                    u"--date"_s,    u"1403/01/15"_s,
                                    u"--payee"_s,   u"علي رضايي"_s,
                                    u"--show"_s,    u"cover"_s};
        QCOMPARE(run(cheque + QStringList{u"--amount"_s, u"1250000"_s, u"--pdf"_s, pdf}), 0);
        QVERIFY(sameWords(fromWindow, pdf));
        // Persian digits and group marks give the same page.
        const QString persian = dir_.filePath(u"persian.pdf"_s);
        QCOMPARE(run(cheque + QStringList{u"--amount"_s, u"۱,۲۵۰,۰۰۰"_s, u"--pdf"_s, persian}), 0);
        QVERIFY(sameWords(pdf, persian));

        QByteArray errors;
        // Refused, with nothing written: no amount, 16 characters, absurd distances and
        // offsets, the database itself or a device as the output.
        const QByteArray databaseBefore = [&] {
            QFile f(db);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const QList<QStringList> refused = {
            {u"--pdf"_s, pdf},
            {u"--amount"_s, u"1234567890123456"_s, u"--pdf"_s, pdf},
            {u"--amount"_s, u"1000"_s, u"--top"_s, u"2147483647"_s, u"--pdf"_s, pdf},
            {u"--amount"_s, u"1000"_s, u"--offset"_s, u"30,0"_s, u"--pdf"_s, pdf},
            {u"--amount"_s, u"1000"_s, u"--pdf"_s, db},
            {u"--amount"_s, u"1000"_s, u"--pdf"_s, u"/dev/full"_s},
            {u"--amount"_s, u"1000"_s, u"--pdf"_s, dir_.path()},
            {u"--amount"_s, u"1000"_s, u"--printer"_s, u"no-such-printer"_s},
        };
        for (const QStringList& args : refused)
            QVERIFY2(
                run(QStringList{u"--account"_s, QString::number(accountId_)} + args, &errors) == 1,
                qPrintable(args.join(u' ')));
        QFile after(db);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), databaseBefore);

        // A stored calibration and --offset move the page alike.
        QProcess calibrate;
        calibrate.start(tool, {u"calibrate"_s, u"--database"_s, db, u"--printer"_s, u"office"_s,
                               u"--x"_s, u"۲"_s, u"--y"_s, u"-1"_s});
        QVERIFY(calibrate.waitForFinished(30000));
        QCOMPARE(calibrate.exitCode(), 0);
        QCOMPARE(calibrate.readAllStandardOutput(), QByteArray("office\t2.0\t-1.0\n"));
        const QString offset = dir_.filePath(u"offset.pdf"_s);
        QCOMPARE(run(cheque + QStringList{u"--amount"_s, u"1250000"_s, u"--offset"_s, u"2,-1"_s,
                                          u"--pdf"_s, offset}),
                 0);
        const QList<PdfWord> plain = PdfWords(pdf), moved = PdfWords(offset);
        QCOMPARE(moved.size(), plain.size());
        for (int i = 0; i < plain.size(); ++i)
            QVERIFY(qAbs(moved[i].xMin - plain[i].xMin - 5.67) < 0.01 &&
                    qAbs(moved[i].yMin - plain[i].yMin + 2.83) < 0.01);

        QCOMPARE(run({u"--account"_s, u"999"_s, u"--pdf"_s, pdf}, &errors), 1);
        QVERIFY(errors.contains("no account"));
        QCOMPARE(run({u"--account"_s, QString::number(accountId_), u"--amount"_s, u"12a"_s,
                      u"--pdf"_s, pdf},
                     &errors),
                 1);
        QVERIFY(errors.contains("is not a valid integer value"));
        QCOMPARE(run({u"--account"_s, QString::number(accountId_), u"--date"_s, u"1403/13/40"_s,
                      u"--pdf"_s, pdf},
                     &errors),
                 1);
        QVERIFY(errors.contains("is not a valid date"));
    }

    // Tab, Delete and the arrows work as in any field; a Persian keyboard's digits count.
    void amountFieldKeysWorkAsInAnyField()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setFocus();
        for (const QChar c : u"۱۲۵۰"_s)
            QTest::sendKeyEvent(QTest::Click, w.amountEdit(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        QCOMPARE(w.amountEdit()->text(), u"1250"_s);
        QTest::keyClick(w.amountEdit(), Qt::Key_Home);
        // X11 delivers Delete with the text U+007F.
        QTest::sendKeyEvent(QTest::Click, w.amountEdit(), Qt::Key_Delete, QString(QChar(0x7f)),
                            Qt::NoModifier);
        QCOMPARE(w.amountEdit()->text(), u"250"_s);
        QTest::keyClick(w.amountEdit(), Qt::Key_End);
        QTest::keyClick(w.amountEdit(), Qt::Key_Backspace);
        QCOMPARE(w.amountEdit()->text(), u"25"_s);
        QTest::keyClick(w.amountEdit(), Qt::Key_Tab);
        QVERIFY(!w.amountEdit()->hasFocus());
        QVERIFY(w.payeeEdit()->hasFocus());
    }

    // The preview shows each box where and as the page prints it.
    void previewBoxesAreThePrintedElements()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        w.payeeEdit()->setText(u"علي رضايي"_s);
        clickSwitch(w.switchBox(4)); // the cover
        const ChequePage page = w.composePage();
        const ChequeOrigin o =
            ComputeChequeOrigin(FeedDirection::Horizontal, FeedPosition::Middle,
                                w.chequePanel()->width(), w.chequePanel()->height(), 10, 0);
        int matched = 0;
        for (int i = 0; i < PrintWindow::BoxCount; ++i) {
            const ChequeItemBox* box = w.box(PrintWindow::Box(i));
            if (box->isHidden())
                continue;
            const auto e =
                std::find_if(page.elements.begin(), page.elements.end(),
                             [&](const TextElement& t) { return t.text == box->text(); });
            QVERIFY2(e != page.elements.end(), qPrintable(box->text()));
            QCOMPARE(e->left, double(box->x() + o.x0));
            QCOMPARE(e->top, double(box->y() + o.y0));
            QCOMPARE(e->width, double(box->width()));
            QCOMPARE(e->alignRight, box->element().alignRight);
            QCOMPARE(e->rightToLeft, box->element().rightToLeft);
            QCOMPARE(e->cutAtWidth, box->element().cutAtWidth);
            QCOMPARE(e->font, box->element().font);
            ++matched;
        }
        QCOMPARE(matched, page.elements.size());
    }

    void refusalsAndFailedJobsAreTold()
    {
        QString sentTo;
        PrintWindow::setPrintJob([&](const ChequePage&, const QString& printer) {
            sentTo = printer;
            return u"چاپگر «%1» كار چاپي نمي پذيرد"_s.arg(printer);
        });
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.printCheque(); // no amount
        QCOMPARE(shown_.last().text, PrintRefusalMessage(PrintRefusal::EmptyAmount));
        QVERIFY(sentTo.isEmpty());
        w.amountEdit()->setText(u"1000"_s);
        w.printerChoice()->setEditText(u"office"_s);
        w.printCheque();
        QCOMPARE(sentTo, u"office"_s);
        QCOMPARE(shown_.last().text, u"چاپگر «office» كار چاپي نمي پذيرد"_s);
        PrintWindow::setPrintJob({});
    }

    void accountWithoutLayoutIsShownAtStartingPlacesAndRefused()
    {
        QSqlQuery q(dm_->connection());
        QVERIFY(q.exec(u"insert into tblAccountMst (Radif, BankName) values (2, 'صادرات')"_s));
        const int bare = q.lastInsertId().toInt();
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.LoadAccount(bare);
        QVERIFY(w.hintLabel()->isVisible());
        QCOMPARE(w.chequePanel()->size(), QSize(654, 324));
        // Not the previous account's places: the designer's starting ones.
        QCOMPARE(w.box(PrintWindow::NumericDate)->geometry().right() + 1, 650 - 36);
        w.amountEdit()->setText(u"1000"_s);
        w.printCheque();
        QCOMPARE(shown_.last().text, PrintRefusalMessage(PrintRefusal::NoLayout));
        QVERIFY(q.exec(u"delete from tblAccountMst where Id = %1"_s.arg(bare)));
    }

    void failedLoadKeepsThePreviousAccount()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        QSqlQuery q(dm_->connection());
        QVERIFY(q.exec(u"alter table tblItemsPrvt rename to tblItemsAway"_s));
        const bool thrown = !RunGuarded([&] { w.LoadAccount(accountId_ + 1); });
        QVERIFY(q.exec(u"alter table tblItemsAway rename to tblItemsPrvt"_s));
        QVERIFY(thrown);
        QCOMPARE(w.loadedAccountId(), accountId_);
        QVERIFY(!w.findChild<QWidget*>(u"WaitPanel"_s)->isVisible());
    }

    void calibrationIsKeptPerPrinter()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.printerChoice()->setEditText(u"office"_s);
        w.calibrationXEdit()->setValue(2.0);
        w.calibrationYEdit()->setValue(-1.0);
        QCOMPARE(w.model().calibration(), (PrinterCalibration{2.0, -1.0}));
        PrintWindow again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        again.printerChoice()->setEditText(u"office"_s);
        emit again.printerChoice()->textActivated(u"office"_s);
        QCOMPARE(again.calibrationXEdit()->value(), 2.0);
        QCOMPARE(again.calibrationYEdit()->value(), -1.0);
        QVERIFY(w.distanceTopEdit()->maximum() == 500 && w.distanceTopEdit()->minimum() == -500);
    }

    // An instalment series: the leaves listed first, then printed one by one with a prompt
    // before each; cancelling keeps what was printed, recorded in one series.
    void seriesPrintsLeafByLeafAndKeepsWhatWasPrinted()
    {
        SeriesDialog dialog(DayNumberOf(EncodeJalaliDate(1403, 6, 31)), u"1,000,000"_s);
        QCOMPARE(dialog.plan().dueDays.size(), 12);
        QCOMPARE(JalaliDayText(dialog.plan().dueDays[1]), u"1403/07/30"_s);
        QCOMPARE(JalaliDayText(dialog.plan().dueDays[11]), u"1404/05/31"_s);
        QCOMPARE(dialog.leavesTable()->rowCount(), 12);
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS")) {
            dialog.show();
            dialog.grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/series_dialog.png"_s);
        }
        dialog.countEdit()->setValue(3);
        dialog.totalChoice()->setChecked(true);
        QCOMPARE(dialog.plan().amounts, (QList<qint64>{333333, 333333, 333334}));
        dialog.amountEdit()->setText(u"12a"_s);
        QVERIFY(dialog.plan().dueDays.isEmpty());

        QList<QString> printedDates;
        PrintWindow::setPrintJob([&](const ChequePage& page, const QString&) {
            printedDates << page.elements.first().text; // the date in digits comes first
            return QString();
        });
        int asked = 0;
        DialogSeam::setMessageHook([&](const ShownMessage& m) {
            shown_ << m;
            return m.kind != MessageKind::Confirmation || ++asked < 3; // the third is refused
        });
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"5000"_s);
        w.payeeEdit()->setText(u"فروشگاه"_s);
        const int before = int(QueryRegister(dm_->connection()).size());
        SeriesPlan plan;
        plan.dueDays = SeriesDueDays(DayNumberOf(EncodeJalaliDate(1403, 6, 31)), 3, 1);
        plan.amounts = {1000000, 1000000, 1000000};
        QCOMPARE(w.printSeries(plan), 2);
        QCOMPARE(printedDates, (QList<QString>{u"1403/06/31"_s, u"1403/07/30"_s}));
        const QList<ChequeRecord> records = QueryRegister(dm_->connection());
        QCOMPARE(int(records.size()), before + 2);
        QList<int> leaves;
        for (const ChequeRecord& r : records)
            if (r.seriesId != 0) {
                leaves << r.seriesLeaf;
                QCOMPARE(r.amount, 1000000);
                QCOMPARE(r.payee, u"فروشگاه"_s);
            }
        std::sort(leaves.begin(), leaves.end());
        QCOMPARE(leaves, (QList<int>{1, 2}));
        QVERIFY(shown_.last().text.contains(u"2 برگ از 3"_s));
        // The window shows its own cheque again.
        QCOMPARE(w.box(PrintWindow::NumericPrice)->text(), u"//5.000"_s);
        PrintWindow::setPrintJob({});
        DialogSeam::setMessageHook([this](const ShownMessage& m) { return shown_ << m, true; });
    }

    void screenshot()
    {
        PrintWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadAccount(accountId_);
        w.amountEdit()->setText(u"1250000"_s);
        w.payeeEdit()->setText(u"شركت نمونه"_s);
        if (!qEnvironmentVariableIsEmpty("NILO_SHOTS"))
            w.grab().save(qEnvironmentVariable("NILO_SHOTS") + u"/print_window.png"_s);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"چاپ چك نيلو"_s);
    RegisterProgramFonts();
    PrintWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_print_window.moc"
