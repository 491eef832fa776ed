// Draws the analog clock's eight faces: per face a dial, hour, minute and second hands, a
// centre cap and, for some, a glass, as PNG pictures with alpha. The pictures are committed
// under resources/clock; run this again after changing a drawing:
//   clockfaces <repo>/resources/clock
// Centres and hand strips come from the clock's own table, so the art always lines up.
#include "render/Fonts.h"
#include "widgets/AnalogClock.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Face
{
    QImage dial;
    QImage hour;
    QImage minute;
    QImage second;
    QImage cap;
    QImage glass; // null: the face has none
};

QImage canvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void smooth(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
}

// The point at `radius` from `c` in the direction `degrees` clockwise from 12 o'clock.
QPointF polar(QPointF c, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return c + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

QRectF circle(QPointF c, qreal r)
{
    return QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

void disc(QPainter& p, QPointF c, qreal r, const QBrush& brush, const QPen& pen = Qt::NoPen)
{
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(circle(c, r));
}

void ring(QPainter& p, QPointF c, qreal r, const QColor& color, qreal width)
{
    p.setPen(QPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle(c, r));
}

QFont font(const QStringList& families, qreal pixels, int weight = QFont::Normal)
{
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(qRound(pixels));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

const QStringList kSans = {u"Vazirmatn"_s, u"DejaVu Sans"_s};
const QStringList kSerif = {u"C059"_s, u"Nimbus Roman"_s, u"DejaVu Serif"_s};

// Text centred on `at` by its ink, which centres digits truly whatever the font's metrics.
void inkText(QPainter& p, QPointF at, const QString& text, const QFont& f, const QBrush& brush,
             qreal xStretch = 1.0)
{
    QPainterPath path;
    path.addText(0, 0, f, text);
    if (xStretch != 1.0)
        path = QTransform::fromScale(xStretch, 1.0).map(path);
    path.translate(at - path.boundingRect().center());
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

// Radial marks: `count` around, from rOuter - length to rOuter.
void ticks(QPainter& p, QPointF c, int count, qreal rOuter, qreal length, const QPen& pen,
           const std::function<bool(int)>& which = {})
{
    p.setPen(pen);
    for (int i = 0; i < count; ++i) {
        if (which && !which(i))
            continue;
        const qreal a = 360.0 * i / count;
        p.drawLine(polar(c, rOuter - length, a), polar(c, rOuter, a));
    }
}

QString persianNumber(int n)
{
    QString s = QString::number(n);
    for (QChar& ch : s)
        ch = QChar(0x06F0 + ch.digitValue());
    return s;
}

// A hand picture: an upright strip, drawn with the pivot at the origin and 12 o'clock up.
QImage strip(const ClockInfo& info, const std::function<void(QPainter&)>& draw)
{
    QImage image = canvas(QSize(info.handWidth, info.handHeight));
    QPainter p(&image);
    smooth(p);
    p.translate(info.handWidth / 2.0, info.handHeight / 2.0);
    draw(p);
    return image;
}

// A bar from `tail` below the pivot to `length` above it, narrowing to `tipWidth`.
void taperedBar(QPainter& p, qreal length, qreal baseWidth, qreal tipWidth, qreal tail,
                const QBrush& brush, bool roundTip = true)
{
    QPainterPath path;
    path.moveTo(-baseWidth / 2, tail);
    path.lineTo(-tipWidth / 2, -length + (roundTip ? tipWidth / 2 : 0));
    if (roundTip)
        path.arcTo(QRectF(-tipWidth / 2, -length, tipWidth, tipWidth), 180, -180);
    else
        path.lineTo(tipWidth / 2, -length);
    path.lineTo(baseWidth / 2, tail);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

// A leaf: pointed at both ends, widest at 40 % of its length.
QPainterPath leaf(qreal from, qreal length, qreal width)
{
    QPainterPath path;
    path.moveTo(0, -from);
    path.cubicTo(width * 0.65, -from - length * 0.25, width * 0.55, -from - length * 0.7, 0,
                 -from - length);
    path.cubicTo(-width * 0.55, -from - length * 0.7, -width * 0.65, -from - length * 0.25, 0,
                 -from);
    return path;
}

// A soft highlight over the upper part of `shape`, as light falling on a domed glass.
QImage glassOver(QSize size, const QPainterPath& shape, QPointF c, qreal r, qreal strength)
{
    QImage image = canvas(size);
    QPainter p(&image);
    smooth(p);
    p.setClipPath(shape);
    QPainterPath sheen;
    sheen.addEllipse(QRectF(c.x() - r * 0.95, c.y() - r * 1.05, r * 1.9, r * 1.2));
    QLinearGradient g(c.x(), c.y() - r, c.x(), c.y() + r * 0.15);
    g.setColorAt(0, QColor(255, 255, 255, qRound(150 * strength)));
    g.setColorAt(0.55, QColor(255, 255, 255, qRound(40 * strength)));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(sheen, g);
    // A faint glint along the lower rim.
    QRadialGradient rim(c, r);
    rim.setColorAt(0.86, QColor(255, 255, 255, 0));
    rim.setColorAt(0.97, QColor(255, 255, 255, qRound(45 * strength)));
    rim.setColorAt(1.0, QColor(255, 255, 255, 0));
    QPainterPath lower;
    lower.addRect(QRectF(0, c.y() + r * 0.35, size.width(), size.height()));
    p.fillPath(lower.intersected(shape), rim);
    return image;
}

// ---------------------------------------------------------------------------------------
// Traditional: brass bezel, ivory dial, railway minute track, Roman numerals, blued
// Breguet hands.

Face traditional(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        QConicalGradient brass(c, 90);
        const QColor dark(0x8a, 0x64, 0x23), light(0xf3, 0xdc, 0x8e), mid(0xc4, 0x9c, 0x4a);
        brass.setColorAt(0.0, mid);
        brass.setColorAt(0.12, light);
        brass.setColorAt(0.3, dark);
        brass.setColorAt(0.5, light);
        brass.setColorAt(0.68, dark);
        brass.setColorAt(0.85, light);
        brass.setColorAt(1.0, mid);
        disc(p, c, 61.5, brass, QPen(QColor(0x5a, 0x42, 0x14), 1));
        ring(p, c, 58.5, QColor(0xff, 0xf1, 0xc0, 150), 0.8);
        QRadialGradient ivory(c + QPointF(-8, -12), 70);
        ivory.setColorAt(0, QColor(0xfd, 0xf9, 0xec));
        ivory.setColorAt(1, QColor(0xe8, 0xdc, 0xbd));
        disc(p, c, 56, ivory, QPen(QColor(0x6b, 0x4e, 0x1c), 1.2));

        const QColor ink(0x2b, 0x25, 0x20);
        ring(p, c, 52, ink, 0.8);
        ring(p, c, 47.5, ink, 0.8);
        ticks(p, c, 60, 52, 4.5, QPen(ink, 0.8));
        // Hour marks: small diamonds on the track.
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (int h = 0; h < 12; ++h) {
            const qreal a = h * 30;
            QPolygonF diamond{polar(c, 53.2, a), polar(c, 49.75, a + 2.8), polar(c, 46.3, a),
                              polar(c, 49.75, a - 2.8)};
            p.drawPolygon(diamond);
        }
        static const char* roman[] = {"XII", "I",   "II",   "III", "IIII", "V",
                                      "VI",  "VII", "VIII", "IX",  "X",    "XI"};
        // Numerals stand on the centre, as on old dials.
        const QFont numeral = font(kSerif, 13.5, QFont::Bold);
        for (int h = 0; h < 12; ++h) {
            const QString text = QString::fromLatin1(roman[h]);
            const qreal stretch = text.size() >= 4 ? 0.7 : text.size() == 3 ? 0.8 : 0.9;
            p.save();
            p.translate(polar(c, 39.5, h * 30));
            p.rotate(h * 30);
            inkText(p, {0, 0}, text, numeral, ink, stretch);
            p.restore();
        }
        // A fine inner chapter ring frames the dial text.
        ring(p, c, 29.5, QColor(0x8a, 0x64, 0x23, 110), 0.7);
    }
    const QColor steel(0x1b, 0x27, 0x4a);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 20, 3.2, 2.4, 7, steel, false);
        // The Breguet "moon": a ring with a hollow centre, then a short pointed tip.
        QPainterPath moon;
        moon.addEllipse(circle(QPointF(0, -23.5), 4.8));
        moon.addEllipse(circle(QPointF(0, -23.5), 2.6));
        moon.setFillRule(Qt::OddEvenFill);
        p.fillPath(moon, steel);
        QPainterPath tip;
        tip.moveTo(-1.8, -27.6);
        tip.lineTo(0, -33);
        tip.lineTo(1.8, -27.6);
        tip.closeSubpath();
        p.fillPath(tip, steel);
        disc(p, {0, 0}, 5, steel);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 35, 2.6, 1.7, 9, steel, false);
        QPainterPath moon;
        moon.addEllipse(circle(QPointF(0, -38.4), 3.7));
        moon.addEllipse(circle(QPointF(0, -38.4), 2.0));
        moon.setFillRule(Qt::OddEvenFill);
        p.fillPath(moon, steel);
        QPainterPath tip;
        tip.moveTo(-1.3, -41.6);
        tip.lineTo(0, -51);
        tip.lineTo(1.3, -41.6);
        tip.closeSubpath();
        p.fillPath(tip, steel);
        disc(p, {0, 0}, 4, steel);
    });
    const QColor garnet(0x8e, 0x1b, 0x1b);
    const QColor brassCap(0xc9, 0xa2, 0x4e);
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 53, 1.3, 0.8, 15, garnet);
        disc(p, {0, 13}, 2.6, garnet);
        disc(p, {0, 0}, 3.2, garnet);
        disc(p, {0, 0}, 1.4, brassCap);
    });
    face.cap = strip(info, [&](QPainter& p) {
        QRadialGradient g(QPointF(-1.2, -1.2), 5);
        g.setColorAt(0, QColor(0xfb, 0xe7, 0xa6));
        g.setColorAt(1, QColor(0x9c, 0x74, 0x28));
        disc(p, {0, 0}, 4.3, g, QPen(QColor(0x5a, 0x42, 0x14), 0.7));
    });
    QPainterPath shape;
    shape.addEllipse(circle(c, 56));
    face.glass = glassOver(face.dial.size(), shape, c, 56, 1.0);
    return face;
}

// ---------------------------------------------------------------------------------------
// Chronometer: a chrome stopwatch with crown and pushers, a seconds scale numbered 5-60,
// a small minute register and a long red sweep hand.

Face chronometer(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        QLinearGradient chrome(c.x() - 50, c.y() - 58, c.x() + 40, c.y() + 58);
        chrome.setColorAt(0, QColor(0xfd, 0xfd, 0xfd));
        chrome.setColorAt(0.45, QColor(0xa9, 0xb0, 0xb9));
        chrome.setColorAt(0.6, QColor(0xe9, 0xec, 0xef));
        chrome.setColorAt(1, QColor(0x70, 0x77, 0x80));
        const QPen edge(QColor(0x4d, 0x53, 0x5b), 0.9);
        // Pushers at ten and two, then the crown at twelve, under the case.
        for (qreal a : {-42.0, 42.0}) {
            p.save();
            p.translate(polar(c, 57.5, a));
            p.rotate(a);
            p.setPen(edge);
            p.setBrush(chrome);
            p.drawRoundedRect(QRectF(-3.5, -5, 7, 7), 1.5, 1.5);
            p.restore();
        }
        p.setPen(edge);
        p.setBrush(chrome);
        p.drawRect(QRectF(c.x() - 2.5, c.y() - 60.5, 5, 5));
        p.drawRoundedRect(QRectF(c.x() - 6, c.y() - 63, 12, 5.5), 1.5, 1.5);
        p.setPen(QPen(QColor(0x60, 0x66, 0x6e), 0.6));
        for (qreal x = -4; x <= 4; x += 2)
            p.drawLine(QPointF(c.x() + x, c.y() - 62.4), QPointF(c.x() + x, c.y() - 58));

        disc(p, c, 57, chrome, edge);
        ring(p, c, 53.5, QColor(0x5c, 0x62, 0x6a), 1.0);
        QRadialGradient white(c + QPointF(0, -10), 60);
        white.setColorAt(0, QColor(0xff, 0xff, 0xff));
        white.setColorAt(1, QColor(0xec, 0xee, 0xef));
        disc(p, c, 53, white);

        const QColor ink(0x15, 0x15, 0x18);
        const QColor red(0xd0, 0x10, 0x10);
        ticks(p, c, 240, 52, 2.0, QPen(QColor(0x55, 0x58, 0x5c), 0.45)); // quarter seconds
        ticks(p, c, 60, 52, 3.5, QPen(ink, 0.9));
        ticks(p, c, 12, 52, 5.5, QPen(ink, 2.0));
        ticks(p, c, 4, 52, 6, QPen(red, 2.4));
        // Set close to the track, to leave the lower half to the dial text.
        const QFont numeral = font(kSans, 10.5, QFont::Bold);
        const QFont quarter = font(kSans, 12, QFont::Bold);
        for (int i = 1; i <= 12; ++i)
            inkText(p, polar(c, 41.5, i * 30), QString::number(i * 5),
                    i % 3 == 0 ? quarter : numeral, i % 3 == 0 ? QBrush(red) : QBrush(ink));
        // The thirty-minute register above the centre.
        const QPointF reg = c + QPointF(0, -19);
        disc(p, reg, 9.5, QColor(0xf1, 0xf2, 0xf3), QPen(ink, 0.8));
        ticks(p, reg, 30, 9.5, 1.8, QPen(ink, 0.5));
        ticks(p, reg, 6, 9.5, 3.2, QPen(ink, 0.9));
        p.setPen(QPen(red, 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(reg, polar(reg, 7, 0));
        disc(p, reg, 1.3, red);
    }
    const QColor black(0x16, 0x16, 0x1a);
    const QColor red(0xe0, 0x12, 0x12);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 31, 5.2, 3.6, 8, black);
        taperedBar(p, 26, 1.6, 1.2, -9, QColor(0xf4, 0xf4, 0xf0));
        disc(p, {0, 0}, 5, black);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 47, 4.2, 2.6, 9, black);
        taperedBar(p, 43, 1.2, 0.9, -10, QColor(0xf4, 0xf4, 0xf0));
        disc(p, {0, 0}, 4, black);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 56, 1.4, 0.9, 12, red);
        QPainterPath weight;
        weight.addEllipse(circle(QPointF(0, 14.5), 3.8));
        weight.addEllipse(circle(QPointF(0, 14.5), 2.0));
        weight.setFillRule(Qt::OddEvenFill);
        p.fillPath(weight, red);
        disc(p, {0, 0}, 3.6, red);
        disc(p, {0, 0}, 1.3, QColor(0x30, 0x30, 0x30));
    });
    face.cap = strip(info, [&](QPainter& p) {
        QRadialGradient g(QPointF(-1.3, -1.3), 5.5);
        g.setColorAt(0, QColor(0xf5, 0xf6, 0xf8));
        g.setColorAt(1, QColor(0x70, 0x77, 0x80));
        disc(p, {0, 0}, 4.4, g, QPen(black, 0.8));
    });
    QPainterPath shape;
    shape.addEllipse(circle(c, 53));
    face.glass = glassOver(face.dial.size(), shape, c, 53, 0.75);
    return face;
}

// ---------------------------------------------------------------------------------------
// Diner: a chrome-rimmed wall clock with a turquoise neon ring, a midnight dial and big
// cream numerals.

Face diner(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        QLinearGradient chrome(c.x(), c.y() - 62, c.x(), c.y() + 62);
        chrome.setColorAt(0, QColor(0xf7, 0xf9, 0xfb));
        chrome.setColorAt(0.35, QColor(0x9a, 0xa3, 0xad));
        chrome.setColorAt(0.5, QColor(0xff, 0xff, 0xff));
        chrome.setColorAt(0.7, QColor(0x6b, 0x74, 0x7e));
        chrome.setColorAt(1, QColor(0xd9, 0xdd, 0xe2));
        disc(p, c, 62, chrome, QPen(QColor(0x45, 0x4b, 0x55), 1));
        QRadialGradient night(c, 57);
        night.setColorAt(0, QColor(0x26, 0x2d, 0x4b));
        night.setColorAt(1, QColor(0x0d, 0x10, 0x22));
        disc(p, c, 57, night, QPen(QColor(0x2b, 0x30, 0x3a), 1));

        // Neon: wide faint strokes under a bright core read as glow.
        const QColor neon(0x2f, 0xf3, 0xe0);
        for (const auto& [width, alpha] : {std::pair{7.0, 28}, {4.5, 60}, {2.8, 120}})
            ring(p, c, 52.5, QColor(neon.red(), neon.green(), neon.blue(), alpha), width);
        ring(p, c, 52.5, QColor(0xd4, 0xff, 0xfa), 1.3);

        p.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i) {
            if (i % 5 == 0)
                continue;
            disc(p, polar(c, 47, i * 6), 0.8, QColor(255, 255, 255, 150));
        }
        const QColor pink(0xff, 0x4f, 0x9a);
        for (int h = 0; h < 12; ++h) {
            disc(p, polar(c, 47, h * 30), 3.2, QColor(pink.red(), pink.green(), pink.blue(), 70));
            disc(p, polar(c, 47, h * 30), 1.9, pink);
        }
        const QFont numeral = font(kSans, 15.5, QFont::Black);
        const QColor cream(0xff, 0xf1, 0xd0);
        for (int h = 1; h <= 12; ++h)
            inkText(p, polar(c, 36.5, h * 30), QString::number(h), numeral, cream,
                    h >= 10 ? 0.86 : 1.0);
    }
    const QColor cream(0xff, 0xf1, 0xd0);
    const QColor red(0xff, 0x3d, 0x8b);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 29, 6.4, 5.2, 8, cream);
        taperedBar(p, 24, 2.0, 1.8, -12, QColor(0xe0, 0x35, 0x4f));
        disc(p, {0, 0}, 5.3, cream);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 45, 4.6, 3.4, 10, cream);
        disc(p, {0, 0}, 4.2, cream);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 52, 1.7, 1.2, 14, red);
        disc(p, {0, -44}, 2.4, red);
        disc(p, {0, 0}, 3.4, red);
        disc(p, {0, 0}, 1.2, QColor(0x1a, 0x1d, 0x30));
    });
    face.cap = strip(info, [&](QPainter& p) {
        QRadialGradient g(QPointF(-1.4, -1.4), 5.5);
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(1, QColor(0x7b, 0x84, 0x8e));
        disc(p, {0, 0}, 4.6, g, QPen(QColor(0x33, 0x38, 0x42), 0.7));
    });
    return face;
}

// ---------------------------------------------------------------------------------------
// Flower: twelve pink petals carrying Persian digits around a cream heart; leaf hands and
// a second hand that carries a small blossom.

Face flower(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        // Green sepals peeping out between the petals.
        for (int i = 0; i < 12; ++i) {
            p.save();
            p.translate(c);
            p.rotate(i * 30 + 15);
            p.fillPath(leaf(40, 22.5, 12), QColor(0x5d, 0xa8, 0x4a));
            p.restore();
        }
        for (int i = 0; i < 12; ++i) {
            p.save();
            p.translate(c);
            p.rotate(i * 30);
            QRadialGradient g(QPointF(0, -52), 14);
            const bool even = i % 2 == 0;
            g.setColorAt(0, even ? QColor(0xff, 0xd6, 0xe6) : QColor(0xff, 0xe3, 0xee));
            g.setColorAt(1, even ? QColor(0xff, 0x8f, 0xb8) : QColor(0xff, 0xa6, 0xc6));
            p.setPen(QPen(QColor(0xe0, 0x5a, 0x8c), 0.8));
            p.setBrush(g);
            p.drawEllipse(QRectF(-12.5, -63.5, 25, 27));
            p.restore();
        }
        QRadialGradient heart(c + QPointF(-6, -8), 52);
        heart.setColorAt(0, QColor(0xff, 0xfc, 0xee));
        heart.setColorAt(1, QColor(0xff, 0xec, 0xb8));
        disc(p, c, 42, heart, QPen(QColor(0xf0, 0xa0, 0x30), 1.4));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i)
            if (i % 5 != 0)
                disc(p, polar(c, 38.5, i * 6), 0.75, QColor(0xf0, 0x9a, 0x30));
        for (int h = 0; h < 12; ++h)
            disc(p, polar(c, 38.5, h * 30), 1.8, QColor(0xe0, 0x5a, 0x8c));

        const QFont digit = font(kSans, 13.5, QFont::Bold);
        for (int h = 1; h <= 12; ++h)
            inkText(p, polar(c, 52.5, h * 30), persianNumber(h), digit, QColor(0xa8, 0x1b, 0x55));
    }
    const QColor darkLeaf(0x2e, 0x7d, 0x32), lightLeaf(0x4c, 0xaf, 0x50);
    const QPen vein(QColor(0xc8, 0xe6, 0xc9, 170), 0.7);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 9, 2.2, 2.0, 6, darkLeaf);
        p.fillPath(leaf(6, 26, 10.5), darkLeaf);
        p.setPen(vein);
        p.drawLine(QPointF(0, -9), QPointF(0, -28));
        disc(p, {0, 0}, 4.6, darkLeaf);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 14, 2.0, 1.8, 8, lightLeaf);
        p.fillPath(leaf(10, 37, 9), lightLeaf);
        p.setPen(vein);
        p.drawLine(QPointF(0, -14), QPointF(0, -42));
        disc(p, {0, 0}, 3.9, lightLeaf);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 46, 1.2, 0.9, 11, QColor(0x38, 0x8e, 0x3c));
        const QPointF bloom(0, -49);
        for (int i = 0; i < 5; ++i)
            disc(p, polar(bloom, 2.9, i * 72), 2.6, QColor(0xff, 0x8f, 0x00));
        disc(p, bloom, 1.8, QColor(0xff, 0xeb, 0x3b));
        disc(p, {0, 0}, 3.3, QColor(0x38, 0x8e, 0x3c));
        disc(p, {0, 0}, 1.5, QColor(0xff, 0xca, 0x28));
    });
    face.cap = strip(info, [&](QPainter& p) {
        for (int i = 0; i < 6; ++i)
            disc(p, polar({0, 0}, 3.0, i * 60), 2.2, QColor(0xff, 0x98, 0x00));
        disc(p, {0, 0}, 2.4, QColor(0xff, 0xd5, 0x4f));
    });
    return face;
}

// ---------------------------------------------------------------------------------------
// Modern: a matt charcoal disc, white batons and no numerals, an orange sweep hand.

Face modern(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        QLinearGradient rim(c.x(), c.y() - 62, c.x(), c.y() + 62);
        rim.setColorAt(0, QColor(0x5a, 0x60, 0x6a));
        rim.setColorAt(1, QColor(0x1c, 0x1e, 0x22));
        disc(p, c, 62, rim);
        QRadialGradient matt(c + QPointF(0, -14), 66);
        matt.setColorAt(0, QColor(0x33, 0x37, 0x3e));
        matt.setColorAt(1, QColor(0x16, 0x18, 0x1b));
        disc(p, c, 60, matt);
        const QColor white(0xf4, 0xf5, 0xf6);
        ticks(p, c, 60, 56.5, 3, QPen(QColor(0x8a, 0x90, 0x99), 1.0),
              [](int i) { return i % 5 != 0; });
        ticks(p, c, 12, 56.5, 10, QPen(white, 3.2), [](int h) { return h % 3 != 0; });
        ticks(p, c, 12, 56.5, 14, QPen(white, 4.6), [](int h) { return h % 3 == 0 && h != 0; });
        // Twelve o'clock: a double baton.
        p.setPen(QPen(white, 3.2));
        for (qreal dx : {-3.2, 3.2})
            p.drawLine(QPointF(c.x() + dx, c.y() - 56.5), QPointF(c.x() + dx, c.y() - 42.5));
        disc(p, polar(c, 24, 0), 1.4, QColor(0xff, 0x7a, 0x1a));
    }
    const QColor white(0xf4, 0xf5, 0xf6);
    const QColor orange(0xff, 0x7a, 0x1a);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 33, 6, 6, 9, white, false);
        disc(p, {0, 0}, 5.2, white);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 51, 4, 4, 11, white, false);
        disc(p, {0, 0}, 4.3, white);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 56, 1.5, 1.5, 17, orange, false);
        disc(p, {0, 0}, 3.4, orange);
        disc(p, {0, 0}, 1.2, QColor(0x16, 0x18, 0x1b));
    });
    face.cap = strip(info, [&](QPainter& p) {
        disc(p, {0, 0}, 4.4, white);
        disc(p, {0, 0}, 1.7, orange);
    });
    return face;
}

// ---------------------------------------------------------------------------------------
// Square: a graphite frame around a warm paper face, marks and numerals set on the
// square, square-ended hands and a square counterweight.

Face square(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    const QRectF inner(c.x() - 56, c.y() - 56, 112, 112);
    {
        QPainter p(&face.dial);
        smooth(p);
        QLinearGradient frame(c.x() - 62, c.y() - 62, c.x() + 62, c.y() + 62);
        frame.setColorAt(0, QColor(0x5b, 0x62, 0x6d));
        frame.setColorAt(1, QColor(0x23, 0x27, 0x2e));
        p.setPen(QPen(QColor(0x17, 0x1a, 0x1f), 1));
        p.setBrush(frame);
        p.drawRoundedRect(QRectF(c.x() - 61.5, c.y() - 61.5, 123, 123), 15, 15);
        QLinearGradient paper(inner.topLeft(), inner.bottomRight());
        paper.setColorAt(0, QColor(0xfb, 0xf9, 0xf3));
        paper.setColorAt(1, QColor(0xe6, 0xe1, 0xd5));
        p.setPen(QPen(QColor(0x15, 0x17, 0x1a), 1));
        p.setBrush(paper);
        p.drawRoundedRect(inner, 9, 9);

        // Marks run along the square: a ray meets the edge where its longer component
        // reaches the half side.
        const auto toEdge = [](qreal degrees, qreal half) {
            const qreal a = qDegreesToRadians(degrees);
            return half / std::max(std::abs(std::sin(a)), std::abs(std::cos(a)));
        };
        const QColor ink(0x14, 0x14, 0x16);
        for (int i = 0; i < 60; ++i) {
            const qreal a = i * 6;
            const qreal d = toEdge(a, 52.5);
            const bool hour = i % 5 == 0;
            p.setPen(QPen(ink, hour ? 2.6 : 0.9, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(polar(c, d - (hour ? 7 : 3.5), a), polar(c, d, a));
        }
        const QFont numeral = font(kSans, 14, QFont::Bold);
        for (int h = 1; h <= 12; ++h) {
            const qreal a = h * 30;
            const qreal d = toEdge(a, 37.5);
            inkText(p, polar(c, std::min(d, 44.0), a), QString::number(h), numeral, ink,
                    h >= 10 ? 0.88 : 1.0);
        }
    }
    const QColor black(0x12, 0x12, 0x14);
    const QColor red(0xd6, 0x28, 0x28);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 31, 6.4, 6.4, 8, black, false);
        p.fillRect(QRectF(-5, -5, 10, 10), black);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 48, 4.6, 4.6, 10, black, false);
        p.fillRect(QRectF(-4.2, -4.2, 8.4, 8.4), black);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 53, 1.5, 1.5, 12, red, false);
        p.fillRect(QRectF(-3, 11, 6, 6), red);
        p.fillRect(QRectF(-3.2, -3.2, 6.4, 6.4), red);
        p.fillRect(QRectF(-1.2, -1.2, 2.4, 2.4), QColor(0xf4, 0xf1, 0xea));
    });
    face.cap = strip(info, [&](QPainter& p) {
        p.setPen(QPen(QColor(0x6b, 0x6f, 0x76), 0.8));
        p.setBrush(black);
        p.drawRoundedRect(QRectF(-4.5, -4.5, 9, 9), 1.5, 1.5);
    });
    QPainterPath shape;
    shape.addRoundedRect(inner, 9, 9);
    // Light across the glass in one diagonal band.
    face.glass = canvas(face.dial.size());
    {
        QPainter p(&face.glass);
        smooth(p);
        p.setClipPath(shape);
        QLinearGradient band(inner.topLeft(), inner.bottomRight());
        band.setColorAt(0.0, QColor(255, 255, 255, 95));
        band.setColorAt(0.3, QColor(255, 255, 255, 35));
        band.setColorAt(0.42, QColor(255, 255, 255, 0));
        band.setColorAt(0.75, QColor(255, 255, 255, 0));
        band.setColorAt(0.8, QColor(255, 255, 255, 22));
        band.setColorAt(0.86, QColor(255, 255, 255, 0));
        p.fillRect(inner, band);
    }
    return face;
}

// ---------------------------------------------------------------------------------------
// System: the plain desktop clock: white face, grey ring, Persian digits, graphite hands
// and a blue second hand.

Face systemFace(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre();
    face.dial = canvas(QSize(130, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        QLinearGradient rim(c.x(), c.y() - 62, c.x(), c.y() + 62);
        rim.setColorAt(0, QColor(0xf2, 0xf4, 0xf6));
        rim.setColorAt(1, QColor(0xb8, 0xbe, 0xc6));
        disc(p, c, 62, rim, QPen(QColor(0x9a, 0xa1, 0xab), 1));
        QLinearGradient inset(c.x(), c.y() - 57, c.x(), c.y() + 57);
        inset.setColorAt(0, QColor(0xb5, 0xbb, 0xc3));
        inset.setColorAt(1, QColor(0xf4, 0xf6, 0xf8));
        disc(p, c, 57.5, inset);
        disc(p, c, 56.3, QColor(0xff, 0xff, 0xff));

        ticks(p, c, 60, 54, 3, QPen(QColor(0xa4, 0xa9, 0xb0), 1.0),
              [](int i) { return i % 5 != 0; });
        ticks(p, c, 12, 54, 6.5, QPen(QColor(0x44, 0x48, 0x4f), 2.2));
        const QFont digit = font(kSans, 15, QFont::DemiBold);
        for (int h = 1; h <= 12; ++h)
            inkText(p, polar(c, 40.5, h * 30), persianNumber(h), digit, QColor(0x30, 0x33, 0x39));
    }
    const QColor graphite(0x2e, 0x32, 0x38);
    const QColor blue(0x1e, 0x88, 0xe5);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 32, 5.4, 3.4, 7, graphite);
        disc(p, {0, 0}, 5, graphite);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 49, 4.2, 2.4, 9, graphite);
        disc(p, {0, 0}, 4, graphite);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 54, 1.4, 1.0, 15, blue);
        disc(p, {0, 0}, 3.2, blue);
        disc(p, {0, 0}, 1.2, QColor(0xff, 0xff, 0xff));
    });
    face.cap = strip(info, [&](QPainter& p) {
        disc(p, {0, 0}, 4.2, graphite);
        disc(p, {0, 0}, 1.5, QColor(0x9a, 0xa1, 0xab));
    });
    QPainterPath shape;
    shape.addEllipse(circle(c, 56.3));
    face.glass = glassOver(face.dial.size(), shape, c, 56.3, 0.7);
    return face;
}

// ---------------------------------------------------------------------------------------
// Novelty: a night owl hugging a starry clock, its eyes above, talons below.

Face novelty(const ClockInfo& info)
{
    Face face;
    const QPointF c = info.centre(); // (55.5, 86.5)
    face.dial = canvas(QSize(118, 130));
    {
        QPainter p(&face.dial);
        smooth(p);
        const QColor outline(0x4a, 0x2c, 0x17);
        const QPen edge(outline, 1.1);
        QLinearGradient plumage(0, 0, 0, 130);
        plumage.setColorAt(0, QColor(0xb0, 0x74, 0x48));
        plumage.setColorAt(1, QColor(0x7a, 0x4a, 0x2a));

        // The right wing waves, the left one hugs the clock; both behind the body.
        p.save();
        p.translate(100, 58);
        p.rotate(-28);
        p.setPen(edge);
        p.setBrush(QColor(0x8d, 0x57, 0x33));
        p.drawEllipse(QRectF(-9, -27, 18, 44));
        p.setPen(QPen(QColor(0x5c, 0x36, 0x1d), 0.9));
        for (qreal y : {-10.0, -2.0, 6.0})
            p.drawArc(QRectF(-7, y, 14, 8), 200 * 16, 140 * 16);
        p.restore();
        p.save();
        p.translate(13, 92);
        p.rotate(18);
        p.setPen(edge);
        p.setBrush(QColor(0x8d, 0x57, 0x33));
        p.drawEllipse(QRectF(-9, -28, 18, 50));
        p.restore();

        // Body and head.
        p.setPen(edge);
        p.setBrush(plumage);
        p.drawEllipse(QRectF(c.x() - 45, 40, 90, 86));
        QPainterPath head;
        head.addEllipse(QRectF(c.x() - 35, 5, 70, 50));
        QPainterPath tufts;
        tufts.moveTo(c.x() - 30, 18);
        tufts.lineTo(c.x() - 33, 1);
        tufts.lineTo(c.x() - 16, 10);
        tufts.closeSubpath();
        tufts.moveTo(c.x() + 30, 18);
        tufts.lineTo(c.x() + 33, 1);
        tufts.lineTo(c.x() + 16, 10);
        tufts.closeSubpath();
        p.drawPath(head.united(tufts));

        // The face: two pale discs, big amber eyes, a small beak.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xef, 0xd6, 0xb0));
        p.drawEllipse(QRectF(c.x() - 31, 13, 32, 32));
        p.drawEllipse(QRectF(c.x() - 1, 13, 32, 32));
        for (qreal dx : {-15.0, 15.0}) {
            const QPointF eye(c.x() + dx, 29);
            disc(p, eye, 11, QColor(0xff, 0xfb, 0xea), QPen(outline, 1));
            QRadialGradient iris(eye, 7.5);
            iris.setColorAt(0, QColor(0xff, 0xc8, 0x3d));
            iris.setColorAt(1, QColor(0xe8, 0x8a, 0x10));
            disc(p, eye, 7.5, iris);
            disc(p, eye, 4.2, QColor(0x16, 0x10, 0x0c));
            disc(p, eye + QPointF(-1.8, -2), 1.6, QColor(255, 255, 255));
        }
        QPainterPath beak;
        beak.moveTo(c.x() - 4, 38);
        beak.lineTo(c.x() + 4, 38);
        beak.lineTo(c.x(), 46);
        beak.closeSubpath();
        p.setPen(QPen(QColor(0x8a, 0x4b, 0x05), 0.8));
        p.setBrush(QColor(0xf5, 0xa6, 0x23));
        p.drawPath(beak);

        // Talons under the clock.
        p.setPen(QPen(QColor(0x9a, 0x55, 0x05), 0.8));
        p.setBrush(QColor(0xf5, 0xa6, 0x23));
        for (qreal dx : {-17.0, 17.0})
            for (qreal t : {-4.5, 0.0, 4.5})
                p.drawEllipse(QRectF(c.x() + dx + t - 2.2, 121.5, 4.4, 7.5));

        // The clock it holds: a gold rim and a starry night dial.
        QConicalGradient gold(c, 90);
        gold.setColorAt(0, QColor(0xf6, 0xd3, 0x6b));
        gold.setColorAt(0.25, QColor(0xb8, 0x86, 0x2b));
        gold.setColorAt(0.5, QColor(0xf6, 0xd3, 0x6b));
        gold.setColorAt(0.75, QColor(0xb8, 0x86, 0x2b));
        gold.setColorAt(1, QColor(0xf6, 0xd3, 0x6b));
        disc(p, c, 41.5, gold, QPen(QColor(0x6b, 0x4a, 0x12), 1));
        QRadialGradient night(c + QPointF(0, -6), 42);
        night.setColorAt(0, QColor(0x24, 0x36, 0x6a));
        night.setColorAt(1, QColor(0x0e, 0x16, 0x33));
        disc(p, c, 38, night, QPen(QColor(0x6b, 0x4a, 0x12), 0.8));
        p.setPen(Qt::NoPen);
        const QPointF stars[] = {{-22, -14}, {19, -19}, {-9, -27}, {25, 4},
                                 {-27, 6},   {10, -9},  {-14, 23}, {21, 22}};
        for (const QPointF& s : stars)
            disc(p, c + s, 0.7, QColor(255, 255, 255, 170));
        const QColor goldInk(0xff, 0xd3, 0x6e);
        for (int h = 0; h < 12; ++h)
            if (h % 3 != 0)
                disc(p, polar(c, 33.5, h * 30), 1.5, goldInk);
        const QFont numeral = font(kSans, 11.5, QFont::Bold);
        for (int h = 3; h <= 12; h += 3)
            inkText(p, polar(c, 30.5, h * 30), QString::number(h), numeral, goldInk,
                    h == 12 ? 0.9 : 1.0);
    }
    const QColor gold(0xff, 0xd3, 0x6e);
    const QColor sky(0x9c, 0xc8, 0xff);
    face.hour = strip(info, [&](QPainter& p) {
        taperedBar(p, 20, 4.2, 3.0, 5, gold);
        disc(p, {0, 0}, 3.2, gold);
    });
    face.minute = strip(info, [&](QPainter& p) {
        taperedBar(p, 30, 3.2, 2.0, 6, gold);
        disc(p, {0, 0}, 2.8, gold);
    });
    face.second = strip(info, [&](QPainter& p) {
        taperedBar(p, 35, 1.1, 0.8, 9, sky);
        // A star at the tip.
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const QPointF pt = polar(QPointF(0, -33), i % 2 ? 1.2 : 2.9, i * 36);
            i ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        p.fillPath(star, sky);
        disc(p, {0, 0}, 2.4, sky);
        disc(p, {0, 0}, 0.9, QColor(0x0e, 0x16, 0x33));
    });
    face.cap = strip(info, [&](QPainter& p) {
        disc(p, {0, 0}, 3.0, gold, QPen(QColor(0x6b, 0x4a, 0x12), 0.6));
    });
    return face;
}

bool save(const QImage& image, const QDir& folder, const char* prefix, const char* suffix)
{
    const QString file = folder.filePath(QLatin1StringView(prefix) + u"_CLOCK_"_s +
                                         QLatin1StringView(suffix) + u".png"_s);
    if (!image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG", 9)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: clockfaces <output folder>\n");
        return 2;
    }
    RegisterProgramFonts();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", argv[1]);
        return 2;
    }
    using Painter = Face (*)(const ClockInfo&);
    const std::pair<AnalogClockStyle, Painter> faces[] = {
        {AnalogClockStyle::acSystem, systemFace}, {AnalogClockStyle::acModern, modern},
        {AnalogClockStyle::acSquare, square},     {AnalogClockStyle::acTrad, traditional},
        {AnalogClockStyle::acDiner, diner},       {AnalogClockStyle::acCronometer, chronometer},
        {AnalogClockStyle::acFlower, flower},     {AnalogClockStyle::acNovelty, novelty},
    };
    bool ok = true;
    for (const auto& [style, paint] : faces) {
        const ClockInfo& info = ClockInfoOf(style);
        const Face face = paint(info);
        ok = save(face.dial, folder, info.prefix, "FACE") && ok;
        ok = save(face.hour, folder, info.prefix, "H") && ok;
        ok = save(face.minute, folder, info.prefix, "M") && ok;
        ok = save(face.second, folder, info.prefix, "S") && ok;
        ok = save(face.cap, folder, info.prefix, "DOT") && ok;
        if (!face.glass.isNull())
            ok = save(face.glass, folder, info.prefix, "GLASS") && ok;
    }
    return ok ? 0 : 1;
}
