// The cheque page: origin on the page, composition from the preview's boxes, and the PDF
// the same painting code writes.
#include "app/Fonts.h"
#include "lib/AppError.h"
#include "printing/ChequePage.h"
#include "printing/ChequeTexts.h"
#include "printing/PagePainter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax;
};

// Words of the PDF's first page with their boxes in points, as pdftotext -bbox gives them.
QList<Word> pdfWords(const QString& pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    if (!p.waitForFinished(20000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5).normalized(QString::NormalizationForm_KC),
                      m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

PreviewBox box(const QString& name, const QString& text, int left, int top, int width,
               bool visible = true)
{
    return {name, visible, text, left, top, width, {u"Tahoma"_s, 12, false, false, false, false}};
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

    void composesVisibleLblBoxesInOrder()
    {
        const QList<PreviewBox> boxes = {
            box(u"lblNumericDate"_s, u"1403/01/02"_s, 562, 39, 80),
            box(u"lblAlphabeticDate"_s, u"hidden"_s, 10, 10, 50, false),
            box(u"Image1"_s, u"picture"_s, 0, 0, 650),
            box(u"lblCover"_s, QString(75, u'*'), 100, 200, 300),
            box(u"lblPerferaj"_s, u"##1.250.000Rls"_s, 20, 250, 120),
        };
        const ChequePage page = ComposeChequePage(boxes, FeedDirection::Horizontal,
                                                  FeedPosition::Middle, 654, 324, 10, 0);
        QVERIFY(!page.landscape);
        QCOMPARE(page.elements.size(), 3);
        const TextElement& date = page.elements[0];
        QCOMPARE(date.left, 631);
        QCOMPARE(date.top, 49);
        QVERIFY(date.alignRight && date.rightToLeft && !date.cutAtWidth);
        QVERIFY(page.elements[1].cutAtWidth);
        QVERIFY(!page.elements[2].alignRight && !page.elements[2].rightToLeft);
        QVERIFY(
            ComposeChequePage(boxes, FeedDirection::Vertical, FeedPosition::Left, 654, 324, 10, 5)
                .landscape);
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
        const QList<PreviewBox> boxes = {
            box(u"lblPerferaj"_s, u"##1.250.000Rls"_s, 562, 39, 120),
            box(u"lblAlphabeticPrice1"_s, u"يک ميليون و دويست و پنجاه هزار ريال تمام"_s, 100, 100,
                400),
        };
        QElapsedTimer t;
        t.start();
        WriteChequePdf(ComposeChequePage(boxes, FeedDirection::Horizontal, FeedPosition::Middle,
                                         654, 324, 10, 0),
                       pdf);
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
        WriteChequePdf(ComposeChequePage({box(u"lblCustomer"_s, u"گيرنده چك"_s, 10, 10, 100)},
                                         FeedDirection::Vertical, FeedPosition::Left, 654, 324, 10,
                                         5),
                       pdf);
        QProcess p;
        p.start(u"pdfinfo"_s, {pdf});
        QVERIFY(p.waitForFinished());
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        const QString size = info.section(u"Page size:"_s, 1).section(u'\n', 0, 0).simplified();
        QVERIFY2(size.startsWith(u"84"_s) && size.contains(u"x 595"_s), qPrintable(size));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterProgramFonts();
    Printing test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_printing.moc"
