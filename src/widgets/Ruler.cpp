#include "widgets/Ruler.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Lengths of the graduations, by level, in pixels from the edge next to the area.
constexpr int TickLength[] = {Ruler::Thickness, 10, 6, 4};
constexpr qreal MinTickSpacing = 3.5; // finer graduations would merge into a grey band
constexpr qreal LabelPadding = 10;
constexpr qreal MinPixelsPerInch = 10;
constexpr qreal MaxPixelsPerInch = 10000;
constexpr qint64 MaxTicks = 20000; // bounds the work whatever the origin and length

// Label step and its subdivisions for one ruler.
struct Scale
{
    qreal step = 1;    // distance between labels, in the unit
    int divisions = 1; // graduations per label step
    int decimals = 0;  // in the labels
};

QString labelText(qreal value, int decimals)
{
    QString text = QLocale::c().toString(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == "-0"_L1)
        text = u"0"_s;
    return text;
}

// Candidate label steps in increasing size, with the decimals their labels need: 1, 2, 5
// times a power of ten for the metric units and pixels, whole inches for inches.
QList<std::pair<qreal, int>> labelSteps(Ruler::Unit unit)
{
    QList<std::pair<qreal, int>> steps;
    const int firstPower = unit == Ruler::Unit::Centimetre ? -1 : 0;
    for (int power = firstPower; power <= 7; ++power)
        for (int m : {1, 2, 5})
            steps << std::pair{m * std::pow(10.0, power), std::max(0, -power)};
    return steps;
}

// Ways to split a label step, finest first: an inch in halves down to sixteenths, a decimal
// step so that graduations fall on round values.
QList<int> divisionsOf(Ruler::Unit unit, qreal step)
{
    if (unit == Ruler::Unit::Inch)
        return {16, 8, 4, 2};
    const qreal mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    if (mantissa > 4.5)
        return {10, 5};
    if (mantissa > 1.5)
        return {10, 4, 2};
    return {10, 5, 2};
}

Scale chooseScale(Ruler::Unit unit, qreal pixelsPerUnit, qreal lowest, qreal highest,
                  const QFontMetricsF& metrics)
{
    Scale scale;
    const auto steps = labelSteps(unit);
    scale.step = steps.last().first;
    scale.decimals = steps.last().second;
    for (const auto& [step, decimals] : steps) {
        const qreal widest = std::max(metrics.horizontalAdvance(labelText(lowest, decimals)),
                                      metrics.horizontalAdvance(labelText(highest, decimals)));
        if (step * pixelsPerUnit >= widest + LabelPadding) {
            scale.step = step;
            scale.decimals = decimals;
            break;
        }
    }
    // As finely as stays readable; pixels are never split below one.
    scale.divisions = 1;
    for (int n : divisionsOf(unit, scale.step)) {
        const qreal pitch = scale.step / n;
        if (unit == Ruler::Unit::Pixel && pitch < 1)
            continue;
        if (pitch * pixelsPerUnit >= MinTickSpacing) {
            scale.divisions = n;
            break;
        }
    }
    return scale;
}

int levelOf(qint64 index, int divisions)
{
    if (index % divisions == 0)
        return 0;
    if (divisions % 2 == 0 && index % (divisions / 2) == 0)
        return 1;
    if (divisions % 4 == 0 && index % (divisions / 4) == 0)
        return 2;
    return divisions % 4 == 0 ? 3 : 2;
}

void paintFrame(QPainter& p, const QRect& rect, const QPalette& palette, bool rightEdge,
                bool bottomEdge)
{
    p.fillRect(rect, palette.color(QPalette::Base));
    p.setPen(palette.color(QPalette::Mid));
    if (rightEdge)
        p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    if (bottomEdge)
        p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
}

QFont rulerFont(const QFont& base)
{
    // Small enough for two rows of graduations and labels in 25 pixels.
    QFont font = base;
    const int pixels = QFontInfo(base).pixelSize();
    font.setPixelSize(std::clamp(pixels, 8, 11));
    return font;
}

} // namespace

Ruler::Ruler(Qt::Orientation orientation, QWidget* parent) : QWidget(parent)
{
    setLayoutDirection(Qt::LeftToRight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    orientation_ = orientation == Qt::Vertical ? Qt::Vertical : Qt::Horizontal;
    setSizePolicy(orientation_ == Qt::Horizontal
                      ? QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed)
                      : QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding));
}

void Ruler::setOrientation(Qt::Orientation orientation)
{
    if (orientation_ == orientation)
        return;
    orientation_ = orientation;
    setSizePolicy(sizePolicy().transposed());
    updateGeometry();
    update();
    emit orientationChanged(orientation);
}

void Ruler::setUnit(Unit unit)
{
    if (unit_ == unit)
        return;
    unit_ = unit;
    update();
    emit unitChanged(unit);
}

void Ruler::setOrigin(int pixel)
{
    if (origin_ == pixel)
        return;
    origin_ = pixel;
    update();
    emit originChanged(pixel);
}

void Ruler::setPixelsPerInch(qreal ppi)
{
    // Figures no screen or printer has fall back to the screen's own.
    if (!(ppi >= MinPixelsPerInch && ppi <= MaxPixelsPerInch))
        ppi = 0;
    if (qFuzzyCompare(pixelsPerInch_ + 1, ppi + 1))
        return;
    pixelsPerInch_ = ppi;
    update();
    emit pixelsPerInchChanged(ppi);
}

qreal Ruler::effectivePixelsPerInch() const
{
    if (pixelsPerInch_ > 0)
        return pixelsPerInch_;
    const int dpi = orientation_ == Qt::Horizontal ? logicalDpiX() : logicalDpiY();
    return dpi > 0 ? dpi : 96;
}

qreal Ruler::pixelsPerUnit() const
{
    const qreal ppi = effectivePixelsPerInch();
    switch (unit_) {
    case Unit::Centimetre:
        return ppi / 2.54;
    case Unit::Millimetre:
        return ppi / 25.4;
    case Unit::Inch:
        return ppi;
    case Unit::Pixel:
        break;
    }
    return 1;
}

QString Ruler::unitSymbol(Unit unit)
{
    switch (unit) {
    case Unit::Centimetre:
        return u"cm"_s;
    case Unit::Millimetre:
        return u"mm"_s;
    case Unit::Inch:
        return u"in"_s;
    case Unit::Pixel:
        break;
    }
    return u"px"_s;
}

int Ruler::length() const
{
    return orientation_ == Qt::Horizontal ? width() : height();
}

QFont Ruler::labelFont() const
{
    return rulerFont(font());
}

QList<Ruler::Tick> Ruler::ticks() const
{
    QList<Tick> out;
    const qreal perUnit = pixelsPerUnit();
    const int len = length();
    if (len <= 0 || !(perUnit > 0))
        return out;
    const qreal origin = origin_;
    const qreal lowest = std::min(0.0, -origin) / perUnit;
    const qreal highest = std::max(0.0, len - origin) / perUnit;
    const Scale scale = chooseScale(unit_, perUnit, lowest, highest, QFontMetricsF(labelFont()));
    const qreal pitchPx = scale.step / scale.divisions * perUnit;
    // Start one label step early so a label whose tick lies just off the edge still shows.
    const auto first = qint64(std::floor((-origin - scale.step * perUnit) / pitchPx));
    const auto last = qint64(std::ceil((len - origin) / pitchPx));
    if (last - first > MaxTicks)
        return out;
    for (qint64 i = first; i <= last; ++i) {
        Tick t;
        t.pos = origin + i * pitchPx;
        t.level = levelOf(i, scale.divisions);
        if (t.level == 0)
            t.label = labelText(qreal(i / scale.divisions) * scale.step, scale.decimals);
        else if (t.pos < 0)
            continue;
        out << t;
    }
    return out;
}

QSize Ruler::sizeHint() const
{
    return orientation_ == Qt::Horizontal ? QSize(200, Thickness) : QSize(Thickness, 200);
}

QSize Ruler::minimumSizeHint() const
{
    return QSize(Thickness, Thickness);
}

void Ruler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool horizontal = orientation_ == Qt::Horizontal;
    paintFrame(p, rect(), palette(), !horizontal, horizontal);
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    p.setFont(font);
    const QColor ink = palette().color(QPalette::Text);
    // The edge next to the area carries the graduations.
    const int edge = horizontal ? height() - 1 : width() - 1;
    const auto ticks = this->ticks();
    for (const Tick& t : ticks) {
        const int at = int(std::floor(t.pos));
        const int len = std::min(TickLength[t.level], edge + 1);
        p.setPen(ink);
        if (horizontal)
            p.drawLine(at, edge, at, edge - len + 1);
        else
            p.drawLine(edge, at, edge - len + 1, at);
        if (t.label.isEmpty())
            continue;
        // Beside its graduation, in the band the short ticks leave free.
        if (horizontal) {
            p.drawText(QPointF(at + 3, 1 + metrics.ascent()), t.label);
        } else {
            p.save();
            p.translate(1 + metrics.ascent(), at + 3 + metrics.horizontalAdvance(t.label));
            p.rotate(-90);
            p.drawText(QPointF(0, 0), t.label);
            p.restore();
        }
    }
}

void Ruler::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

RulerCorner::RulerCorner(QWidget* parent) : QWidget(parent)
{
    setLayoutDirection(Qt::LeftToRight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RulerCorner::setUnit(Ruler::Unit unit)
{
    if (unit_ == unit)
        return;
    unit_ = unit;
    update();
    emit unitChanged(unit);
}

QSize RulerCorner::sizeHint() const
{
    return QSize(Ruler::Thickness, Ruler::Thickness);
}

void RulerCorner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintFrame(p, rect(), palette(), true, true);
    p.setFont(rulerFont(font()));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(rect().adjusted(0, 0, -1, -1), Qt::AlignCenter, Ruler::unitSymbol(unit_));
}

void RulerCorner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange)
        update();
    QWidget::changeEvent(event);
}

RulerFrame::RulerFrame(QWidget* parent)
    : QWidget(parent), horizontal_(new Ruler(Qt::Horizontal, this)),
      vertical_(new Ruler(Qt::Vertical, this)), corner_(new RulerCorner(this))
{
    connect(horizontal_, &Ruler::unitChanged, this, &RulerFrame::unitChanged);
    connect(horizontal_, &Ruler::pixelsPerInchChanged, this, &RulerFrame::pixelsPerInchChanged);
    placeChildren();
}

void RulerFrame::setArea(QWidget* area)
{
    if (area_ == area)
        return;
    area_ = area;
    if (area) {
        area->setParent(this);
        area->move(Ruler::Thickness, Ruler::Thickness);
        area->show();
        // The rulers stay above an area that outgrows the frame's corner.
        horizontal_->raise();
        vertical_->raise();
        corner_->raise();
    }
    updateGeometry();
}

void RulerFrame::setUnit(Ruler::Unit unit)
{
    vertical_->setUnit(unit);
    corner_->setUnit(unit);
    horizontal_->setUnit(unit);
}

void RulerFrame::setPixelsPerInch(qreal ppi)
{
    vertical_->setPixelsPerInch(ppi);
    horizontal_->setPixelsPerInch(ppi);
}

QSize RulerFrame::sizeHint() const
{
    const QSize inner = area_ ? area_->size() : QSize(200, 150);
    return inner + QSize(Ruler::Thickness, Ruler::Thickness);
}

void RulerFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}

void RulerFrame::placeChildren()
{
    // Physical places: the corner top-left, whatever the window's reading direction.
    constexpr int t = Ruler::Thickness;
    corner_->setGeometry(0, 0, t, t);
    horizontal_->setGeometry(t, 0, std::max(0, width() - t), t);
    vertical_->setGeometry(0, t, t, std::max(0, height() - t));
    if (area_)
        area_->move(t, t);
}
