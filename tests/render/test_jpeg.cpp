// JPEG decoding of stored pictures: scaled decoding and hostile input.
#include "core/storage/ImageCodec.h"
#include "render/JpegImage.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(JpegFailure)

namespace {

QByteArray encodeJpeg(QSize size, bool progressive = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 180, 120));
    for (int x = 0; x < size.width(); x += 50)
        for (int y = 0; y < size.height(); ++y)
            image.setPixel(x, y, qRgb(20, 20, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// Rewrites the frame header's dimensions, as a hostile file would.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 8 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2)) {
            jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

} // namespace

class Jpeg : public QObject
{
    Q_OBJECT
private slots:
    void decodesAtTheShownSize_data()
    {
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QSize>("decoded");
        QTest::newRow("full size") << QSize() << QSize(3000, 1400);
        QTest::newRow("quarter") << QSize(750, 350) << QSize(750, 350);
        QTest::newRow("cheque preview") << QSize(650, 320) << QSize(750, 350);
        QTest::newRow("larger than stored") << QSize(4000, 2000) << QSize(3000, 1400);
    }
    void decodesAtTheShownSize()
    {
        QFETCH(QSize, shown);
        QFETCH(QSize, decoded);
        static const QByteArray jpeg = encodeJpeg({3000, 1400});
        QCOMPARE(JpegSize(jpeg), QSize(3000, 1400));
        const QImage image = DecodeJpeg(jpeg, shown);
        QCOMPARE(image.size(), decoded);
        QVERIFY(qAbs(QColor(image.pixel(image.width() / 2 + 10, 5)).red() - 200) < 15);
    }

    void packedPictureDecodesAfterUnpacking()
    {
        const QByteArray jpeg = encodeJpeg({64, 32});
        QByteArray packed, unpacked;
        PackImageStream(jpeg, packed);
        UnpackImageStream(packed, unpacked);
        QCOMPARE(DecodeJpeg(unpacked).size(), QSize(64, 32));
    }

    void hostileInputIsRefusedQuickly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decodes");
        const QByteArray jpeg = encodeJpeg({400, 300});
        QTest::newRow("claims 60000 x 60000") << withClaimedSize(jpeg, 60000, 60000) << false;
        QTest::newRow("truncated") << jpeg.left(jpeg.size() / 2) << false;
        QTest::newRow("cut before its end marker") << jpeg.chopped(2) << false;
        QByteArray flipped = jpeg;
        flipped[flipped.size() / 2] = char(0xFF); // a marker in the middle of the data
        flipped[flipped.size() / 2 + 1] = char(0xD0);
        QTest::newRow("damaged data") << flipped << false;
        QTest::newRow("header only") << jpeg.left(200) << false;
        QTest::newRow("random bytes") << QByteArray(5000, '\x17') << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("jpeg marker then junk")
            << QByteArray("\xFF\xD8\xFF\xE0junkjunkjunk") << false;
    }
    void hostileInputIsRefusedQuickly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decodes);
        QElapsedTimer t;
        t.start();
        JpegFailure failure = JpegFailure::None;
        QCOMPARE(!DecodeJpeg(bytes, {}, &failure).isNull(), decodes);
        QCOMPARE(failure == JpegFailure::None, decodes);
        QVERIFY(t.elapsed() < 1000);
    }

    // A header claiming a huge picture over a few hundred bytes of data must cost no more than
    // an honest picture of the shown size: refused from the header (progressive: the whole
    // coefficient buffer would be needed) or decoded at a small scale and refused when the
    // data runs out.
    void craftedHeaderStaysWithinTheBudget_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<JpegFailure>("failure");
        const QByteArray progressive = encodeJpeg({16, 16}, true);
        const QByteArray baseline = encodeJpeg({16, 16});
        QTest::newRow("progressive 7071 x 7071") << withClaimedSize(progressive, 7071, 7071)
                                                 << QSize(1920, 1200) << JpegFailure::TooLarge;
        QTest::newRow("progressive 65500 x 763") << withClaimedSize(progressive, 65500, 763)
                                                 << QSize(1920, 1200) << JpegFailure::TooLarge;
        QTest::newRow("baseline 7071 x 7071")
            << withClaimedSize(baseline, 7071, 7071) << QSize(1920, 1200) << JpegFailure::Damaged;
        QTest::newRow("baseline 65500 x 763, no shown size")
            << withClaimedSize(baseline, 65500, 763) << QSize() << JpegFailure::Damaged;
    }
    void craftedHeaderStaysWithinTheBudget()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        QFETCH(JpegFailure, failure);
        QVERIFY(bytes.size() < 1000);
        QElapsedTimer t;
        t.start();
        JpegFailure got = JpegFailure::None;
        QVERIFY(DecodeJpeg(bytes, shown, &got).isNull());
        QCOMPARE(got, failure);
        QVERIFY(t.elapsed() < 1000);
    }

    // A wide, short picture cannot cover both sides at a small scale; it gives up detail along
    // its long side instead of decoding whole.
    void wideShortPictureIsDecodedSmall()
    {
        const QByteArray jpeg = encodeJpeg({8000, 100});
        const QImage image = DecodeJpeg(jpeg, QSize(400, 300));
        QVERIFY(!image.isNull());
        QVERIFY(qint64(image.width()) * image.height() <= 4LL * 400 * 300);
        QCOMPARE(image.size(), QSize(4000, 50));
    }

    void progressivePictureDecodes()
    {
        const QByteArray jpeg = encodeJpeg({640, 480}, true);
        QCOMPARE(DecodeJpeg(jpeg, QSize(320, 240)).size(), QSize(320, 240));
    }

    void failuresReadInPersian()
    {
        for (JpegFailure f : {JpegFailure::NotJpeg, JpegFailure::TooLarge, JpegFailure::Damaged}) {
            const QString text = JpegFailureText(f, u"a.png"_s);
            QVERIFY(text.contains(u"«a.png»"_s));
            QVERIFY(text.contains(QChar(0x062A))); // Persian words, no English sentence
            QVERIFY(!text.contains(u"readable"_s));
        }
    }
};

QTEST_GUILESS_MAIN(Jpeg)
#include "test_jpeg.moc"
