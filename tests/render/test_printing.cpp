// The cheque model and its page: the texts of the amount, what prints and what does not,
// the origin on the page, the calibration, the alignment sheet, and the PDF the same painting
// code writes whole or not at all.
#include "core/cheque/ChequeModel.h"
#include "core/cheque/ChequePage.h"
#include "core/cheque/ChequeTexts.h"
#include "core/errors/AppError.h"
#include "core/text/AmountText.h"
#include "render/Fonts.h"
#include "render/PagePainter.h"
#include "support/PdfWords.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Word = PdfWord;
const auto pdfWords = PdfWords;

// A layout whose rows 3 and 7 switch their items on; every item at its own place.
ChequeLayout sampleLayout()
{
    ChequeLayout layout;
    layout.hasRows = true;
    layout.present.fill(true);
    layout.rows[0] = {1, 650, 320, 10, 0, {}, {}, false, true};
    for (int id = 2; id <= 10; ++id)
        layout.rows[id - 1] = {id,          40 + id * 30, 20 + id * 25,       120,  11,
                               u"Tahoma"_s, u"Regular"_s, id == 3 || id == 7, false};
    layout.rows[1].sideMargin = 562; // the date in digits, ending at 682
    layout.rows[1].upMargin = 39;
    return layout;
}

// A written cheque: account 1, 1250000 Rials, a payee, on 1403/01/15.
ChequeModel sampleCheque()
{
    ChequeModel model(ProgramTextMeasure());
    model.loadAccount(1, sampleLayout());
    model.setDate(EncodeJalaliDate(1403, 1, 15));
    model.setAmount(u"1250000"_s);
    model.setPayee(u"علي رضايي"_s);
    return model;
}

QStringList textsOf(const ChequePage& page)
{
    QStringList texts;
    for (const TextElement& e : page.elements)
        texts << e.text;
    return texts;
}

} // namespace

class Printing : public QObject
{
    Q_OBJECT
private slots:
    void originFollowsFeedAndPosition_data()
    {
        QTest::addColumn<int>("feed");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("y0");
        const int hor = int(FeedDirection::Horizontal), ver = int(FeedDirection::Vertical);
        const int mid = int(FeedPosition::Middle), lft = int(FeedPosition::Left);
        QTest::newRow("horizontal middle") << hor << mid << 654 << 324 << 10 << 0 << 69 << 10;
        QTest::newRow("horizontal left") << hor << lft << 654 << 324 << 10 << 5 << 5 << 10;
        QTest::newRow("vertical left") << ver << lft << 654 << 324 << 10 << 5 << 458 << 5;
        QTest::newRow("vertical middle") << ver << mid << 654 << 324 << 10 << 0 << 458 << 234;
        // Wider than the page: (793 - 900) / 2 truncates toward zero to -53.
        QTest::newRow("too wide from middle") << hor << mid << 900 << 324 << 0 << 0 << -53 << 0;
    }
    void originFollowsFeedAndPosition()
    {
        QFETCH(int, feed);
        QFETCH(int, position);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, x0);
        QFETCH(int, y0);
        QCOMPARE(ComputeChequeOrigin(FeedDirection(feed), FeedPosition(position), w, h, top, left),
                 (ChequeOrigin{x0, y0}));
    }

    void amountTextsOfTheFourBoxes_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("1250000") << u"1250000"_s
                                 << QStringList{u"//1.250.000"_s, u"##1.250.000Rls"_s,
                                                u"يک ميليون و دويست و پنجاه هزار ريال تمام "_s,
                                                u" معادل يکصد و بيست و پنج هزار تومان تمام "_s};
        // Words of 123 end in a space, so two spaces stand before the currency.
        QTest::newRow("123") << u"123"_s
                             << QStringList{u"//123"_s, u"##123Rls"_s,
                                            u"يکصد و بيست و سه  ريال تمام "_s,
                                            u" معادل دوازده  تومان تمام "_s};
        // Group marks as typed: the words are those of the value, never of the marked text.
        QTest::newRow("1,250,000") << u"1,250,000"_s
                                   << QStringList{u"//1.250.000"_s, u"##1.250.000Rls"_s,
                                                  u"يک ميليون و دويست و پنجاه هزار ريال تمام "_s,
                                                  u" معادل يکصد و بيست و پنج هزار تومان تمام "_s};
        QTest::newRow("10,000,000")
            << u"10,000,000"_s
            << QStringList{u"//10.000.000"_s, u"##10.000.000Rls"_s, u"ده ميليون ريال تمام "_s,
                           u" معادل يک ميليون تومان تمام "_s};
        QTest::newRow("250.000") << u"250.000"_s
                                 << QStringList{u"//250.000"_s, u"##250.000Rls"_s,
                                                u"دويست و پنجاه هزار ريال تمام "_s,
                                                u" معادل بيست و پنج هزار تومان تمام "_s};
    }
    void amountTextsOfTheFourBoxes()
    {
        QFETCH(QString, amount);
        QFETCH(QStringList, texts);
        const AmountBoxTexts t = AmountTexts(amount);
        QCOMPARE((QStringList{t.numeric, t.perforation, t.words, t.toman}), texts);
    }

    void amountBelowTenRialsIsZeroTomans()
    {
        QVERIFY(AmountTexts(u"7"_s).toman.contains(u"صفر"_s));
        QVERIFY_THROWS_EXCEPTION(ConversionError, AmountTexts(u"12a"_s));
    }

    // What prints is what has a value and a switch that shows it: a caption standing in
    // for an empty field is shown on screen, never printed.
    void onlyValuesPrint()
    {
        ChequeModel model(ProgramTextMeasure());
        QCOMPARE(model.printRefusal(), PrintRefusal::NoAccount);
        for (int i = 0; i < kChequeItemCount; ++i)
            QVERIFY(!model.item(ChequeItem(i)).visible); // no account: an empty cheque

        model.loadAccount(1, sampleLayout());
        model.setDate(EncodeJalaliDate(1403, 1, 15));
        QCOMPARE(model.printRefusal(), PrintRefusal::EmptyAmount);
        const QStringList printed = textsOf(model.page());
        QCOMPARE(model.item(ChequeItem::Customer).text, u"گيرنده چك"_s);
        for (const QString& caption : {u"گيرنده چك"_s, u"مبلغ چك بعدد"_s, u"مبلغ چك بحروف"_s,
                                       u"Perforate"_s, u"معادل مبلغ به تومان"_s})
            QVERIFY2(!printed.contains(caption), qPrintable(caption));
        // Always the date in digits; switched on by rows 3 and 7: the date in words (the
        // perforation has no amount yet).
        QCOMPARE(printed,
                 (QStringList{u"1403/01/15"_s, DateToWords(EncodeJalaliDate(1403, 1, 15))}));

        const ChequeModel cheque = sampleCheque();
        QCOMPARE(cheque.printRefusal(), PrintRefusal::None);
        QCOMPARE(textsOf(cheque.page()),
                 (QStringList{u"1403/01/15"_s, DateToWords(EncodeJalaliDate(1403, 1, 15)),
                              u"//1.250.000"_s, u"يک ميليون و دويست و پنجاه هزار ريال تمام "_s,
                              u"علي رضايي"_s, u"##1.250.000Rls"_s}));
        const ChequePage page = cheque.page();
        const TextElement& date = page.elements[0];
        QCOMPARE(date.left + date.width, 682.0 + 69); // ends at the layout's right edge
        QCOMPARE(date.top, 39.0 + 10);
        QVERIFY(date.alignRight && date.rightToLeft && !date.cutAtWidth);
        const TextElement& perforation = page.elements.last();
        QVERIFY(!perforation.alignRight && !perforation.rightToLeft);
    }

    // The payee's national ID: left to right at its row's place, printed only with its switch
    // on and a valid ID in the field; a layout from before it existed has it off.
    void nationalIdPrintsAtItsPlaceWhenOnAndValid()
    {
        ChequeLayout layout = sampleLayout();
        layout.rows[10] = {11, 300, 150, 120, 10, u"Tahoma"_s, u"Regular"_s, true, false};
        ChequeModel model(ProgramTextMeasure());
        model.loadAccount(1, layout);
        model.setDate(EncodeJalaliDate(1403, 1, 15));
        model.setAmount(u"1250000"_s);
        QVERIFY(model.isSwitchOn(ChequeSwitch::NationalId));
        const int before = int(model.page().elements.size());
        for (const QString& bad : {u""_s, u"1234567890"_s, u"12345"_s, u"123456789a"_s}) {
            model.setNationalId(bad);
            QCOMPARE(int(model.page().elements.size()), before); // a placeholder never prints
        }
        model.setNationalId(u" ۱۲۳۴۵۶۷۸۹۱ "_s); // Persian digits, check digit 1
        QCOMPARE(model.nationalId(), u"1234567891"_s);
        const ChequePage page = model.page();
        QCOMPARE(int(page.elements.size()), before + 1);
        const TextElement& id = page.elements.last();
        QCOMPARE(id.text, u"1234567891"_s);
        QCOMPARE(id.left, 300.0 + 69); // its left edge kept, from the middle of the page
        QCOMPARE(id.top, 150.0 + 10);
        QVERIFY(!id.rightToLeft && !id.alignRight);
        model.setSwitch(ChequeSwitch::NationalId, false);
        QVERIFY(!textsOf(model.page()).contains(u"1234567891"_s));

        layout.present[10] = false; // saved before the item existed
        model.loadAccount(1, layout);
        model.setAmount(u"1250000"_s);
        model.setNationalId(u"1234567891"_s);
        QVERIFY(!model.isSwitchOn(ChequeSwitch::NationalId));
        QVERIFY(!textsOf(model.page()).contains(u"1234567891"_s));
        QCOMPARE(model.item(ChequeItem::NationalId).box.topLeft(), QPoint(40, 120));
    }

    void switchesAreExactlyWhatPrints()
    {
        ChequeModel model = sampleCheque();
        model.setSwitch(ChequeSwitch::WordsDate, false);
        model.setSwitch(ChequeSwitch::Perforation, false);
        model.setSwitch(ChequeSwitch::Cover, true);
        model.setSwitch(ChequeSwitch::Toman, true);
        model.setSwitch(ChequeSwitch::Constant, true);
        const QStringList printed = textsOf(model.page());
        QCOMPARE(printed.size(), 7);
        QVERIFY(printed.contains(QString(75, u'*')));
        QVERIFY(printed.contains(u"//فاقد قلم خوردگي و پشت نويسي//"_s));
        QVERIFY(printed.contains(u" معادل يکصد و بيست و پنج هزار تومان تمام "_s));
        QVERIFY(!printed.contains(u"##1.250.000Rls"_s));
        // The description prints once switched on and typed; switching off empties it.
        model.setSwitch(ChequeSwitch::Description, true);
        model.setDescription(u"  بابت اجاره  "_s);
        QVERIFY(textsOf(model.page()).contains(u"بابت اجاره"_s));
        model.setSwitch(ChequeSwitch::Description, false);
        model.setSwitch(ChequeSwitch::Description, true);
        QVERIFY(!textsOf(model.page()).contains(u"بابت اجاره"_s));
        // The Toman line stands under the words, right edges aligned.
        const QRect words = model.item(ChequeItem::AlphabeticPrice).box;
        const QRect toman = model.item(ChequeItem::Toman).box;
        QCOMPARE(toman.top(), words.bottom() + 1);
        QCOMPARE(toman.right(), words.right());
    }

    void amountIsRefusedWholeOrTakenWhole_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("digits");
        using C = ChequeModel::AmountChange;
        QTest::newRow("Persian digits") << u"۱۲۵۰۰۰۰"_s << int(C::Accepted) << u"//1.250.000"_s;
        QTest::newRow("Arabic-Indic") << u"١٢٥٠٠٠٠"_s << int(C::Accepted) << u"//1.250.000"_s;
        QTest::newRow("15 characters")
            << u"123,456,789,012"_s << int(C::Accepted) << u"//123.456.789.012"_s;
        QTest::newRow("16 characters")
            << u"1234567890123456"_s << int(C::TooLong) << u"//1.250.000"_s;
        QTest::newRow("letters") << u"12a"_s << int(C::NotAnAmount) << u"مبلغ چك بعدد"_s;
    }
    void amountIsRefusedWholeOrTakenWhole()
    {
        QFETCH(QString, typed);
        QFETCH(int, change);
        QFETCH(QString, digits);
        ChequeModel model = sampleCheque();
        QCOMPARE(int(model.setAmount(typed)), change);
        QCOMPARE(model.item(ChequeItem::NumericPrice).text, digits);
        // A text that is no amount leaves no amount at all: nothing prints but the field's.
        if (change == int(ChequeModel::AmountChange::NotAnAmount))
            QCOMPARE(model.printRefusal(), PrintRefusal::EmptyAmount);
    }

    void accountWithoutLayoutShowsTheStartingPlacesAndRefuses()
    {
        ChequeModel model(ProgramTextMeasure());
        model.loadAccount(7, ChequeLayout{});
        model.setAmount(u"1000"_s);
        QCOMPARE(model.printRefusal(), PrintRefusal::NoLayout);
        QCOMPARE(model.panelSize(), QSize(654, 324));
        // The designer's starting places: the date in digits 36 px from the right edge.
        QCOMPARE(model.item(ChequeItem::NumericDate).box.right() + 1, 650 - 36);
        QVERIFY(model.item(ChequeItem::NumericDate).visible);
    }

    void distancesAndCalibrationStayInRange()
    {
        ChequeModel model = sampleCheque();
        QVERIFY(!model.setDistances(2147483647, 0));
        QVERIFY(!model.setDistances(0, -501));
        QVERIFY(model.setDistances(-500, 500));
        QVERIFY(!model.setCalibration({25.1, 0}));
        QVERIFY(!model.setCalibration({std::nan(""), 0}));
        QVERIFY(model.setCalibration({-25, 25}));
        // Stored absurd distances are held at the bound.
        ChequeLayout far = sampleLayout();
        far.rows[0].width = std::numeric_limits<int>::max();
        model.loadAccount(1, far);
        QCOMPARE(model.distanceTop(), kMaxPrinterDistance);
    }

    // A calibration of (2.0, -1.0) mm moves every text by exactly that on the page.
    void calibrationMovesEveryText()
    {
        ChequeModel model = sampleCheque();
        const ChequePage plain = model.page();
        QVERIFY(model.setCalibration({2.0, -1.0}));
        const ChequePage moved = model.page();
        QCOMPARE(moved.elements.size(), plain.elements.size());
        for (int i = 0; i < plain.elements.size(); ++i) {
            // In points: 2 mm = 5.669 pt, 1 mm = 2.835 pt.
            QVERIFY(qAbs((moved.elements[i].left - plain.elements[i].left) * 0.75 - 5.669) < 0.001);
            QVERIFY(qAbs((moved.elements[i].top - plain.elements[i].top) * 0.75 + 2.835) < 0.001);
        }
    }

    void testSheetOutlinesBoxesAndMarksMillimetres()
    {
        ChequeModel model = sampleCheque();
        const ChequePage sheet = model.testSheet(false);
        const ChequePage page = model.page();
        // The cheque's own texts, then a label for each shown box and the ruler's numbers.
        for (const TextElement& e : page.elements)
            QVERIFY(textsOf(sheet).contains(e.text));
        QVERIFY(textsOf(sheet).contains(u"تاريخ عددي"_s));
        QVERIFY(textsOf(sheet).contains(u"160"_s)); // 650 px = 171.9 mm along the top
        QVERIFY(textsOf(sheet).contains(u"80"_s));  // 320 px = 84.7 mm down the right side
        // The cheque's outline first, 2 px inside the panel's corner, then one per shown box.
        QCOMPARE(sheet.outlines.first(), QRectF(69 + 2, 10 + 2, 650, 320));
        int shown = 0;
        for (int i = 0; i < kChequeItemCount; ++i)
            shown += model.item(ChequeItem(i)).visible;
        QCOMPARE(sheet.outlines.size(), 1 + shown);
        // A mark a millimetre (172 + 85) and two crosshairs of two lines.
        QCOMPARE(sheet.lines.size(), 172 + 85 + 4);
        QVERIFY(sheet.pictureJpeg.isEmpty());
    }

    // Painting in 1/96 inch on a 1200 dpi PDF: positions land where the table says and a
    // 12 pt text stays about 12 pt tall, never dpi/96 times larger.
    void pdfPlacesTextsAtTheirPositionsAndSizes()
    {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString pdf = qEnvironmentVariableIsSet("KEEP_PDF") ? u"/tmp/cheque.pdf"_s
                                                                  : dir.filePath(u"cheque.pdf"_s);
        // Boxes at (562, 39) and (100, 100) on a cheque printed from the middle, T = 10.
        ChequePage page;
        TextElement perforationBox{u"##1.250.000Rls"_s,
                                   562 + 69,
                                   39 + 10,
                                   120,
                                   {u"Tahoma"_s, 12, false, false, false, false}};
        perforationBox.alignRight = perforationBox.rightToLeft = false;
        page.elements = {perforationBox,
                         {u"يک ميليون و دويست و پنجاه هزار ريال تمام"_s,
                          100 + 69,
                          100 + 10,
                          400,
                          {u"Tahoma"_s, 12, false, false, false, false}}};
        QElapsedTimer t;
        t.start();
        WriteChequePdf(page, pdf);
        qInfo("page composed and written in %lld ms", t.elapsed());
        const QList<Word> words = pdfWords(pdf);
        QVERIFY(!words.isEmpty());
        const auto perforation = std::find_if(
            words.begin(), words.end(), [](const Word& w) { return w.text.contains(u"Rls"_s); });
        QVERIFY(perforation != words.end());
        QCOMPARE(perforation->text, u"##1.250.000Rls"_s); // left to right, not reordered
        QVERIFY2(qAbs(perforation->xMin - 631 * 0.75) < 3,
                 qPrintable(QString::number(perforation->xMin)));
        QVERIFY2(qAbs(perforation->yMin - 49 * 0.75) < 4,
                 qPrintable(QString::number(perforation->yMin)));
        const double height = perforation->yMax - perforation->yMin;
        QVERIFY2(height >= 12 && height <= 22, qPrintable(QString::number(height)));

        // The amount in words ends at its box's right edge (100 + 400 px, shifted by 69)
        // and extracts as Persian text in reading order.
        double right = 0;
        for (const Word& w : words)
            if (!w.text.contains(u"Rls"_s))
                right = std::max(right, w.xMax);
        QVERIFY2(qAbs(right - (69 + 500) * 0.75) < 3, qPrintable(QString::number(right)));
        QProcess p;
        p.start(u"pdftotext"_s, {pdf, u"-"_s});
        QVERIFY(p.waitForFinished());
        QString text =
            QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        text.remove(QRegularExpression(u"[\\x{202A}-\\x{202E}]"_s));
        QVERIFY2(text.contains(u"دويست و پنجاه هزار ريال تمام"_s), qPrintable(text));
    }

    void landscapePageCarriesAFrame()
    {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"landscape.pdf"_s);
        ChequePage page;
        page.landscape = true;
        page.elements = {{u"گيرنده چك"_s, 10, 10, 100, {u"Tahoma"_s, 12}}};
        WriteChequePdf(page, pdf);
        QProcess p;
        p.start(u"pdfinfo"_s, {pdf});
        QVERIFY(p.waitForFinished());
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        const QString size = info.section(u"Page size:"_s, 1).section(u'\n', 0, 0).simplified();
        QVERIFY2(size.startsWith(u"84"_s) && size.contains(u"x 595"_s), qPrintable(size));
    }

    // The PDF is written whole or not at all, and never over the database or a device.
    void pdfIsWrittenWholeOrRefused()
    {
        QTemporaryDir dir;
        const ChequePage page = sampleCheque().page();
        const QString database = dir.filePath(u"NiloChequePrint.mdb"_s);
        QFile db(database);
        QVERIFY(db.open(QIODevice::WriteOnly) && db.write("SQLite format 3") > 0);
        db.close();
        for (const QString& target : {database, dir.path(), u"/dev/full"_s, u"/dev/null"_s})
            QVERIFY_THROWS_EXCEPTION(AppError, WriteChequePdf(page, target, {database}));
        QFile kept(database);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("SQLite format 3"));

        // A disk that fills up half-way (a file size limit stands in for it): the error is
        // told and the old PDF keeps its bytes.
        const QString pdf = dir.filePath(u"cheque.pdf"_s);
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool refused = false;
        try {
            WriteChequePdf(page, pdf);
        } catch (const AppError&) {
            refused = true;
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(refused);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QVERIFY(
            QDir(dir.path()).entryList({u"cheque.pdf.*"_s}, QDir::Files | QDir::Hidden).isEmpty());
    }

    // The same cheque with and without a calibration: every word in the PDF moves by it.
    void calibrationMovesThePrintedWords()
    {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        ChequeModel model = sampleCheque();
        WriteChequePdf(model.page(), dir.filePath(u"plain.pdf"_s));
        model.setCalibration({2.0, -1.0});
        WriteChequePdf(model.page(), dir.filePath(u"moved.pdf"_s));
        const QList<Word> plain = pdfWords(dir.filePath(u"plain.pdf"_s));
        const QList<Word> moved = pdfWords(dir.filePath(u"moved.pdf"_s));
        QVERIFY(!plain.isEmpty());
        QCOMPARE(moved.size(), plain.size());
        for (int i = 0; i < plain.size(); ++i) {
            QVERIFY2(qAbs(moved[i].xMin - plain[i].xMin - 5.67) < 0.01, qPrintable(plain[i].text));
            QVERIFY2(qAbs(moved[i].yMin - plain[i].yMin + 2.83) < 0.01, qPrintable(plain[i].text));
        }
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    RegisterProgramFonts();
    Printing test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_printing.moc"
