// JPEG decoding of stored pictures: scaled decoding and hostile input.
#include "lib/ImageCodec.h"
#include "lib/JpegImage.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

namespace {

QByteArray encodeJpeg(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 180, 120));
    for (int x = 0; x < size.width(); x += 50)
        for (int y = 0; y < size.height(); ++y)
            image.setPixel(x, y, qRgb(20, 20, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
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
        QTest::newRow("truncated keeps what it holds") << jpeg.left(jpeg.size() / 2) << true;
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
        QCOMPARE(!DecodeJpeg(bytes).isNull(), decodes);
        QVERIFY(t.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(Jpeg)
#include "test_jpeg.moc"
