// Draws the program's icon and the pictures the main window carries, and writes the ten theme
// style sheets:
//   artwork <repo>
// writes <repo>/resources/images/{app_icon.png, background_default.jpg, calendar_sheet.png,
// logo.png, nav_backup.png, step_previous.png, step_next.png, nav_*.png, arrow_*.png} and
// <repo>/resources/themes/theme0.qss ... theme9.qss (from tools/artwork/theme.qss.in and the
// colours in src/app/Themes.cpp). The outputs are committed; run this again after changing a
// drawing, the template or a theme colour. The drawings are deterministic.
#include "gui/common/Themes.h"
#include "render/Fonts.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QImage canvas(QSize size, QColor fill = Qt::transparent)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void smooth(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
}

QFont font(qreal pixels, int weight = QFont::Normal, const QStringList& families = {})
{
    QFont f;
    f.setFamilies(families.isEmpty() ? QStringList{u"Vazirmatn"_s, u"DejaVu Sans"_s} : families);
    f.setPixelSize(qRound(pixels));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A text as a path centred on `at` by its ink.
QPainterPath textPath(const QString& text, const QFont& f, QPointF at)
{
    QPainterPath path;
    path.addText(0, 0, f, text);
    path.translate(at - path.boundingRect().center());
    return path;
}

// A hypotrochoid: the rosette of engraved security printing.
QPainterPath rosette(QPointF c, qreal R, qreal r, qreal d, int turns, qreal scale)
{
    QPainterPath path;
    const int steps = 3600 * turns / 10;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = 2 * M_PI * turns * i / steps;
        const qreal x = (R - r) * std::cos(t) + d * std::cos((R - r) / r * t);
        const qreal y = (R - r) * std::sin(t) - d * std::sin((R - r) / r * t);
        const QPointF pt = c + QPointF(x, y) * scale;
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    return path;
}

// Fine horizontal waves, the background pattern of banknotes and cheques.
void waves(QPainter& p, const QRectF& area, int count, qreal amplitude, qreal wavelength,
           qreal phaseStep, const QPen& pen)
{
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < count; ++k) {
        const qreal y0 = area.top() + area.height() * (k + 0.5) / count;
        QPainterPath path;
        for (qreal x = area.left(); x <= area.right() + 4; x += 4) {
            const qreal y = y0 + amplitude * std::sin(2 * M_PI * x / wavelength + k * phaseStep);
            if (x == area.left())
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.drawPath(path);
    }
}

// The work area's default background: a quiet blue-grey ground with the engraved rosettes
// and waves of security printing, light enough to sit behind the working windows.
QImage background()
{
    const QSize size(1600, 1000);
    QImage image = canvas(size, Qt::white);
    QPainter p(&image);
    smooth(p);
    QLinearGradient ground(0, 0, size.width() * 0.35, size.height());
    ground.setColorAt(0, QColor(0x5b, 0x73, 0x88));
    ground.setColorAt(0.55, QColor(0x74, 0x8c, 0x9e));
    ground.setColorAt(1, QColor(0x8f, 0xa4, 0xb1));
    p.fillRect(image.rect(), ground);

    // Light from the upper right, where the navigation bar stands.
    QRadialGradient glow(QPointF(size.width() * 0.92, size.height() * 0.1), size.width() * 0.75);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    const qreal k = size.width() / 1920.0; // the pattern was drawn for 1920 pixels across
    waves(p, QRectF(0, 0, size.width(), size.height()), 90, 9 * k, 520 * k, 0.21,
          QPen(QColor(255, 255, 255, 14), 1.2));

    const QPointF centre(size.width() * 0.36, size.height() * 0.46);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 26), 1.1));
    p.drawPath(rosette(centre, 13, 7, 9.5, 7, 23 * k));
    p.setPen(QPen(QColor(255, 255, 255, 20), 1.0));
    p.drawPath(rosette(centre, 21, 8, 11, 8, 13 * k));
    p.setPen(QPen(QColor(20, 40, 60, 18), 1.0));
    p.drawPath(rosette(centre, 17, 5, 6, 5, 9 * k));

    const QPointF small(size.width() * 0.1, size.height() * 0.86);
    p.setPen(QPen(QColor(255, 255, 255, 18), 1.0));
    p.drawPath(rosette(small, 11, 4, 5.5, 4, 10 * k));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// A desk-calendar sheet, drawn at twice its shown 130 x 150 for sharp high-density screens.
// The three date lines go on the red band, the middle of the page and above the foot.
QImage calendarSheet()
{
    const qreal s = 2;
    QImage image = canvas(QSize(130 * s, 150 * s));
    QPainter p(&image);
    smooth(p);
    p.scale(s, s);
    const QRectF sheet(7, 11, 116, 134);

    // Pages underneath, then a soft shadow.
    for (int i = 2; i >= 1; --i) {
        p.setPen(QPen(QColor(0xc9, 0xc1, 0xb3), 0.6));
        p.setBrush(QColor(0xf3, 0xee, 0xe4));
        p.drawRoundedRect(sheet.translated(i * 1.2, i * 1.6), 5, 5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawRoundedRect(sheet.translated(0, 1.2), 5, 5);

    // The page.
    QLinearGradient paper(sheet.topLeft(), sheet.bottomLeft());
    paper.setColorAt(0, QColor(0xff, 0xfd, 0xf8));
    paper.setColorAt(1, QColor(0xf6, 0xf1, 0xe6));
    p.setBrush(paper);
    p.setPen(QPen(QColor(0xbf, 0xb5, 0xa3), 0.8));
    p.drawRoundedRect(sheet, 5, 5);

    // The red band for month and year.
    QPainterPath band;
    band.addRoundedRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 38), 5, 5);
    band.addRect(QRectF(sheet.left(), sheet.top() + 30, sheet.width(), 8));
    band.setFillRule(Qt::WindingFill);
    QLinearGradient red(0, sheet.top(), 0, sheet.top() + 38);
    red.setColorAt(0, QColor(0xb3, 0x4a, 0x46));
    red.setColorAt(1, QColor(0x93, 0x34, 0x34));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPath(band.simplified());
    p.setPen(QPen(QColor(0x7a, 0x26, 0x28), 0.8));
    p.drawLine(QPointF(sheet.left() + 0.5, sheet.top() + 38),
               QPointF(sheet.right() - 0.5, sheet.top() + 38));

    // The foot: a hairline above the weekday.
    p.setPen(QPen(QColor(0xd8, 0xcd, 0xbb), 0.8));
    p.drawLine(QPointF(sheet.left() + 16, 116), QPointF(sheet.right() - 16, 116));

    // Binding rings through punched holes.
    for (const qreal x : {38.0, 92.0}) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5a, 0x1c, 0x1e));
        p.drawEllipse(QPointF(x, sheet.top() + 7), 3.2, 3.2);
        QLinearGradient metal(x - 3, 0, x + 3, 0);
        metal.setColorAt(0, QColor(0x8d, 0x93, 0x99));
        metal.setColorAt(0.45, QColor(0xf1, 0xf3, 0xf5));
        metal.setColorAt(1, QColor(0x6b, 0x71, 0x77));
        p.setBrush(metal);
        p.setPen(QPen(QColor(0x55, 0x5a, 0x60), 0.6));
        p.drawRoundedRect(QRectF(x - 2.6, 1.5, 5.2, sheet.top() + 6 - 1.5), 2.6, 2.6);
    }
    return image;
}

// The product's logo art: a cheque with its engraved band and a signing pen, and the name.
QImage logo()
{
    QImage image = canvas(QSize(997, 618));
    QPainter p(&image);
    smooth(p);

    // A soft plate so that the art reads over any background.
    const QRectF plate(18, 18, 961, 582);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        p.setBrush(QColor(10, 25, 40, 4));
        p.drawRoundedRect(plate.adjusted(-i, -i + 6, i, i + 6), 48 + i, 48 + i);
    }
    QLinearGradient plateFill(plate.topLeft(), plate.bottomRight());
    plateFill.setColorAt(0, QColor(255, 255, 255, 238));
    plateFill.setColorAt(1, QColor(236, 241, 245, 238));
    p.setBrush(plateFill);
    p.setPen(QPen(QColor(255, 255, 255, 255), 3));
    p.drawRoundedRect(plate, 44, 44);

    // The cheque, tilted, on the left.
    p.save();
    p.translate(292, 330);
    p.rotate(-8);
    const QRectF cheque(-230, -125, 460, 250);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 60, 40));
    p.drawRoundedRect(cheque.translated(8, 12), 18, 18);
    QLinearGradient paper(cheque.topLeft(), cheque.bottomRight());
    paper.setColorAt(0, QColor(0xf7, 0xfb, 0xf9));
    paper.setColorAt(1, QColor(0xe3, 0xee, 0xea));
    p.setBrush(paper);
    p.setPen(QPen(QColor(0x6f, 0x8f, 0x86), 3));
    p.drawRoundedRect(cheque, 18, 18);

    p.save();
    QPainterPath clip;
    clip.addRoundedRect(cheque.adjusted(2, 2, -2, -2), 16, 16);
    p.setClipPath(clip);
    waves(p, QRectF(cheque.left(), cheque.top() + 8, cheque.width(), 64), 10, 4, 90, 0.5,
          QPen(QColor(0x2f, 0x6f, 0x6a, 70), 1.6));
    p.setPen(QPen(QColor(0x2f, 0x6f, 0x6a, 80), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rosette(QPointF(cheque.left() + 70, cheque.top() + 150), 13, 7, 9.5, 7, 3.2));
    p.restore();

    // Lines for payee, amount and the amount box.
    p.setPen(QPen(QColor(0x4d, 0x6b, 0x64), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-80, -10), QPointF(200, -10));
    p.drawLine(QPointF(-80, 40), QPointF(200, 40));
    p.setPen(QPen(QColor(0x4d, 0x6b, 0x64), 3));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRoundedRect(QRectF(-200, 72, 150, 36), 6, 6);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath signature;
    signature.moveTo(40, 92);
    signature.cubicTo(60, 52, 80, 120, 100, 84);
    signature.cubicTo(116, 56, 130, 112, 150, 86);
    signature.cubicTo(160, 74, 170, 82, 190, 78);
    p.setBrush(Qt::NoBrush);
    p.drawPath(signature);
    p.restore();

    // A fountain pen resting across the cheque's corner.
    p.save();
    p.translate(462, 418);
    p.rotate(-36);
    QLinearGradient barrel(0, -17, 0, 17);
    barrel.setColorAt(0, QColor(0x2e, 0x4a, 0x66));
    barrel.setColorAt(0.4, QColor(0x4f, 0x73, 0x95));
    barrel.setColorAt(1, QColor(0x1b, 0x2f, 0x44));
    p.setPen(Qt::NoPen);
    p.setBrush(barrel);
    p.drawRoundedRect(QRectF(-10, -17, 150, 34), 17, 17);
    p.setBrush(QColor(0xc9, 0xa2, 0x4c));
    p.drawRect(QRectF(40, -17, 10, 34));
    QPainterPath nib;
    nib.moveTo(-10, -14);
    nib.lineTo(-70, 0);
    nib.lineTo(-10, 14);
    nib.closeSubpath();
    QLinearGradient gold(-70, 0, -10, 0);
    gold.setColorAt(0, QColor(0xa9, 0x82, 0x33));
    gold.setColorAt(1, QColor(0xe6, 0xc7, 0x7a));
    p.setBrush(gold);
    p.drawPath(nib);
    p.setPen(QPen(QColor(0x6d, 0x52, 0x1c), 2));
    p.drawLine(QPointF(-66, 0), QPointF(-26, 0));
    p.restore();

    // The name and the line under it.
    const QPainterPath name = textPath(u"نيلو"_s, font(210, QFont::Bold), QPointF(775, 270));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 60, 40));
    p.drawPath(name.translated(4, 6));
    QLinearGradient ink(0, 150, 0, 380);
    ink.setColorAt(0, QColor(0x28, 0x4d, 0x73));
    ink.setColorAt(1, QColor(0x16, 0x31, 0x4d));
    p.setBrush(ink);
    p.drawPath(name);
    p.setBrush(QColor(0x2f, 0x6f, 0x6a));
    p.drawPath(textPath(u"چاپ چك"_s, font(74, QFont::DemiBold), QPointF(775, 452)));
    p.setPen(QPen(QColor(0xc9, 0xa2, 0x4c), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(655, 390), QPointF(895, 390));
    return image;
}

// A round badge with a white pictogram, readable on light and dark themes alike.
QImage badge(int size, QColor top, QColor bottom, const std::function<void(QPainter&, qreal)>& draw)
{
    QImage image = canvas(QSize(size, size));
    QPainter p(&image);
    smooth(p);
    const qreal r = size / 2.0 - 1;
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(125), 1));
    p.setBrush(fill);
    p.drawEllipse(QPointF(size / 2.0, size / 2.0), r, r);
    p.translate(size / 2.0, size / 2.0);
    draw(p, size / 36.0);
    return image;
}

QPen whitePen(qreal width)
{
    return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The icon's letter, drawn on a 64-unit grid.
QPainterPath appIconLetter()
{
    return textPath(u"ن"_s, font(50, QFont::Black), QPointF(32, 29));
}

// The program's window icon: the logo's navy tile with its first letter and gold rule,
// legible from 16 pixels up; drawn on a 64-unit grid scaled to `size`.
QImage appIcon(int size = 64)
{
    QImage image = canvas(QSize(size, size));
    QPainter p(&image);
    smooth(p);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient fill(0, 0, 0, 64);
    fill.setColorAt(0, QColor(0x2e, 0x55, 0x84));
    fill.setColorAt(1, QColor(0x1b, 0x36, 0x5a));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);
    p.setBrush(Qt::white);
    p.drawPath(appIconLetter());
    p.setBrush(QColor(0xd6, 0xad, 0x55));
    p.drawRoundedRect(QRectF(14, 51, 36, 4), 2, 2);
    return image;
}

// The same icon as SVG for the desktop's scalable size: the letter's outline written as path
// data, so that the file needs no font.
QByteArray appIconSvg()
{
    const QPainterPath letter = appIconLetter();
    QString d;
    for (int i = 0; i < letter.elementCount(); ++i) {
        const QPainterPath::Element e = letter.elementAt(i);
        const QString xy = u"%1 %2 "_s.arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        if (e.isMoveTo())
            d += u"M"_s + xy;
        else if (e.isLineTo())
            d += u"L"_s + xy;
        else if (e.isCurveTo())
            d += u"C"_s + xy;
        else
            d += xy;
    }
    return u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
           "viewBox=\"0 0 64 64\">\n"
           "  <defs><linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"64\" "
           "gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\" stop-color=\"#2e5584\"/>"
           "<stop offset=\"1\" stop-color=\"#1b365a\"/></linearGradient></defs>\n"
           "  <rect x=\"1\" y=\"1\" width=\"62\" height=\"62\" rx=\"12\" "
           "fill=\"url(#tile)\"/>\n"
           "  <path fill=\"#ffffff\" fill-rule=\"evenodd\" d=\"%1\"/>\n"
           "  <rect x=\"14\" y=\"51\" width=\"36\" height=\"4\" rx=\"2\" fill=\"#d6ad55\"/>\n"
           "</svg>\n"_s.arg(d.trimmed())
               .toUtf8();
}

// The step buttons' glyphs: a chevron pointing one way (+1 right, -1 left).
QImage stepGlyph(int direction)
{
    return badge(40, QColor(0x6b, 0x82, 0x97), QColor(0x3f, 0x55, 0x6a),
                 [direction](QPainter& p, qreal) {
                     p.setPen(whitePen(4.2));
                     p.setBrush(Qt::NoBrush);
                     const qreal d = direction;
                     const QPointF pts[] = {{-4 * d, -9}, {5 * d, 0}, {-4 * d, 9}};
                     p.drawPolyline(pts, 3);
                 });
}

QImage navDesigner()
{
    return badge(36, QColor(0x5a, 0x7d, 0xa6), QColor(0x35, 0x55, 0x7c), [](QPainter& p, qreal) {
        p.setPen(whitePen(2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(-11, -7, 22, 14), 2, 2);
        p.drawLine(QPointF(-7, -2), QPointF(3, -2));
        p.drawLine(QPointF(-7, 3), QPointF(7, 3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, -4, 3, 3));
    });
}

QImage navPrint()
{
    return badge(36, QColor(0x3f, 0x94, 0x8f), QColor(0x1f, 0x6b, 0x67), [](QPainter& p, qreal) {
        p.setPen(whitePen(2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(-6, -11, 12, 6));
        p.drawRoundedRect(QRectF(-11, -5, 22, 10), 2, 2);
        p.setBrush(QColor(0x2a, 0x7d, 0x78));
        p.drawRect(QRectF(-6, 2, 12, 9));
        p.drawLine(QPointF(-3, 5.5), QPointF(3, 5.5));
    });
}

QImage navGlyphText(QColor top, QColor bottom, const QString& text)
{
    return badge(36, top, bottom, [text](QPainter& p, qreal) {
        QFont f = font(24, QFont::Bold, {u"DejaVu Sans"_s});
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(textPath(text, f, QPointF(0, 0)));
    });
}

QImage navExit()
{
    return badge(36, QColor(0xb0, 0x5a, 0x55), QColor(0x85, 0x34, 0x32), [](QPainter& p, qreal) {
        p.setPen(whitePen(2.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-9, -8, 18, 18), (90 + 40) * 16, (360 - 80) * 16);
        p.drawLine(QPointF(0, -11), QPointF(0, -1));
    });
}

// The small arrows of combo and spin boxes, for light (dark arrow) and dark themes.
QImage arrow(bool up, QColor color)
{
    QImage image = canvas(QSize(9, 9));
    QPainter p(&image);
    smooth(p);
    QPainterPath path;
    const qreal top = up ? 2 : 7, bottom = up ? 7 : 2;
    path.moveTo(0.5, bottom);
    path.lineTo(8.5, bottom);
    path.lineTo(4.5, top);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    return image;
}

bool save(const QImage& image, const QDir& folder, const QString& name, int quality = -1)
{
    QImageWriter writer(folder.filePath(name));
    if (quality >= 0)
        writer.setQuality(quality);
    if (name.endsWith(u".jpg"_s))
        writer.setOptimizedWrite(true), writer.setProgressiveScanWrite(false);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(folder.filePath(name)),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool writeThemes(const QDir& repo)
{
    QFile in(repo.filePath(u"tools/artwork/theme.qss.in"_s));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(in.fileName()));
        return false;
    }
    const QString templateText = QString::fromUtf8(in.readAll());
    bool ok = true;
    for (int n = 0; n < kThemeCount; ++n) {
        QFile out(repo.filePath(u"resources/themes/theme%1.qss"_s.arg(n)));
        ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
             out.write(ExpandThemeTemplate(templateText, n).toUtf8()) >= 0 && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artwork <repository folder>\n");
        return 2;
    }
    RegisterProgramFonts();
    const QDir repo(QString::fromLocal8Bit(argv[1]));
    const QDir images(repo.filePath(u"resources/images"_s));
    if (!repo.mkpath(u"resources/images"_s) || !repo.mkpath(u"resources/themes"_s)) {
        std::fprintf(stderr, "cannot create the resource folders under %s\n", argv[1]);
        return 2;
    }
    bool ok = true;
    ok = save(background(), images, u"background_default.jpg"_s, 86) && ok;
    ok = save(calendarSheet(), images, u"calendar_sheet.png"_s) && ok;
    ok = save(logo(), images, u"logo.png"_s) && ok;
    ok = save(appIcon(), images, u"app_icon.png"_s) && ok;
    // The desktop's icon theme sizes, and the scalable one.
    for (const int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = u"resources/desktop/icons/%1x%1/apps"_s.arg(px);
        ok = repo.mkpath(folder) &&
             save(appIcon(px), QDir(repo.filePath(folder)), u"NiloChequePrint.png"_s) && ok;
    }
    if (repo.mkpath(u"resources/desktop/icons/scalable/apps"_s)) {
        QFile svg(repo.filePath(u"resources/desktop/icons/scalable/apps/NiloChequePrint.svg"_s));
        ok = svg.open(QIODevice::WriteOnly | QIODevice::Truncate) && svg.write(appIconSvg()) >= 0 &&
             ok;
    }
    ok = save(stepGlyph(-1), images, u"step_left.png"_s) && ok;
    ok = save(stepGlyph(+1), images, u"step_right.png"_s) && ok;
    ok = save(navDesigner(), images, u"nav_designer.png"_s) && ok;
    ok = save(navPrint(), images, u"nav_print.png"_s) && ok;
    ok = save(navGlyphText(QColor(0x5c, 0x9a, 0x6a), QColor(0x36, 0x70, 0x45), u"?"_s), images,
              u"nav_help.png"_s) &&
         ok;
    ok = save(navGlyphText(QColor(0xc8, 0x9f, 0x4e), QColor(0x9a, 0x73, 0x27), u"i"_s), images,
              u"nav_about.png"_s) &&
         ok;
    ok = save(navExit(), images, u"nav_exit.png"_s) && ok;
    ok = save(navGlyphText(QColor(0x4f, 0x8a, 0x9e), QColor(0x2d, 0x62, 0x75), u"پ"_s), images,
              u"nav_backup.png"_s) &&
         ok;
    const QColor darkArrow(0x3b, 0x47, 0x54), lightArrow(0xd6, 0xdb, 0xe1);
    ok = save(arrow(false, darkArrow), images, u"arrow_down_dark.png"_s) && ok;
    ok = save(arrow(true, darkArrow), images, u"arrow_up_dark.png"_s) && ok;
    ok = save(arrow(false, lightArrow), images, u"arrow_down_light.png"_s) && ok;
    ok = save(arrow(true, lightArrow), images, u"arrow_up_light.png"_s) && ok;
    ok = writeThemes(repo) && ok;
    return ok ? 0 : 1;
}
