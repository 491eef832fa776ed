#include "render/PagePainter.h"

#include "core/errors/AppError.h"
#include "core/storage/SafeFile.h"
#include "render/JpegImage.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPdfResolution = 1200;

// A device of exactly 96 dpi, whatever the screen: what every text is measured on.
const QImage& measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(3780); // 96.01 dpi, which Qt rounds to 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return device;
}

} // namespace

QFont ToQFont(const FontSpec& spec)
{
    QFont font(spec.family);
    font.setPointSize(spec.pointSize > 0 ? std::min(spec.pointSize, 1000) : 1);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

FontSpec ToFontSpec(const QFont& font)
{
    return {font.family(), font.pointSize(), font.bold(),
            font.italic(), font.underline(), font.strikeOut()};
}

TextMeasure ProgramTextMeasure()
{
    return [](const FontSpec& spec, const QString& text) {
        const QFontMetrics metrics(ToQFont(spec), &measureDevice());
        return QSize(metrics.horizontalAdvance(text), metrics.height());
    };
}

void PaintTextElement(QPainter& painter, const TextElement& e, qreal s)
{
    const QFont font = ToQFont(e.font);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const qreal lineHeight = metrics.height();
    const qreal left = e.left * s, top = e.top * s, width = e.width * s;
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(e.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment((e.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute |
                        Qt::AlignTop);
    if (e.cutAtWidth) {
        const QRectF box(left, top, std::max<qreal>(0, width), lineHeight);
        painter.save();
        painter.setClipRect(box, Qt::IntersectClip);
        painter.drawText(box, e.text, option);
        painter.restore();
        return;
    }
    // The text may run beyond its box: a right-aligned text keeps its right end on the
    // box's right edge and grows leftwards, a left-aligned one grows rightwards.
    const qreal room = std::max<qreal>(width, metrics.horizontalAdvance(e.text) + 4 * s);
    const QRectF box = e.alignRight ? QRectF(left + width - room, top, room, lineHeight)
                                    : QRectF(left, top, room, lineHeight);
    painter.drawText(box, e.text, option);
}

void PaintChequePage(QPainter& painter, const ChequePage& page, qreal dotsPerInch)
{
    const qreal s = dotsPerInch / 96.0;
    painter.save();
    if (!page.pictureJpeg.isEmpty() && !page.pictureRect.isEmpty()) {
        // At 300 dpi: true size on paper without decoding a scan at the printer's resolution.
        const QRectF target(page.pictureRect.topLeft() * s, page.pictureRect.size() * s);
        const QSize decoded = (page.pictureRect.size() * 300.0 / 96.0).toSize();
        const QImage picture = DecodeJpeg(page.pictureJpeg, decoded);
        if (!picture.isNull())
            painter.drawImage(target, picture);
    }
    if (page.landscape) {
        // A thin black line along the four edges of the landscape page.
        const QRectF edge(0, 0, 1123 * s, 794 * s);
        painter.setPen(QPen(Qt::black, std::max<qreal>(1.0, s)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(edge.adjusted(s / 2, s / 2, -s, -s));
    }
    if (!page.lines.isEmpty() || !page.outlines.isEmpty()) {
        painter.setPen(QPen(Qt::black, 0.5 * s)); // hairlines, a third of a point
        painter.setBrush(Qt::NoBrush);
        for (const QLineF& line : page.lines)
            painter.drawLine(QLineF(line.p1() * s, line.p2() * s));
        for (const QRectF& r : page.outlines)
            painter.drawRect(QRectF(r.topLeft() * s, r.size() * s));
    }
    painter.setPen(Qt::black);
    for (const TextElement& e : page.elements)
        PaintTextElement(painter, e, s);
    painter.restore();
}

QByteArray RenderChequePdf(const ChequePage& page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(u"NiloChequePrint"_s);
        writer.setResolution(kPdfResolution);
        // The whole layout at once: size, orientation and zero margins together, so no
        // later call can bring back a driver's margins.
        if (!writer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::A4),
                            page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                            QMarginsF(0, 0, 0, 0), QPageLayout::Point, QMarginsF(0, 0, 0, 0))))
            throw AppError(u"the PDF page could not be set up"_s);
        QPainter painter;
        if (!painter.begin(&writer))
            throw AppError(u"the PDF page could not be painted"_s);
        PaintChequePage(painter, page, writer.resolution());
        if (!painter.end())
            throw AppError(u"the PDF page could not be finished"_s);
    }
    if (bytes.isEmpty())
        throw AppError(u"the PDF page came out empty"_s);
    return bytes;
}

void WriteChequePdf(const ChequePage& page, const QString& path, const QStringList& protectedFiles)
{
    const QString refused = RefusedOutputPath(path, protectedFiles);
    if (!refused.isEmpty())
        throw AppError(refused);
    const QByteArray pdf = RenderChequePdf(page);
    QString reason;
    if (!WriteFileWhole(path, pdf, QString(), &reason))
        throw AppError(reason);
}
