#include "widgets/AnalogClock.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QTextOption>

using namespace Qt::StringLiterals;

// clang-format off
const std::array<ClockInfo, 8> kClockFaces = {{
    {"SYSTEM",     57, 0,  13, 129, 4,  70, 36, 0xFF666666u, 10},
    {"MODERN",     57, -1, 13, 129, 4,  74, 36, 0xFFFFFFFFu, 10},
    {"SQUARE",     57, -1, 13, 129, 4,  66, 36, 0xFF000000u, 10},
    {"TRAD",       56, -1, 13, 129, 8,  60, 18, 0xFF2F2E2Eu, 10},
    {"DINER",      57, -1, 13, 129, 8,  56, 18, 0xFFD3D9E3u, 9},
    {"CRONOMETER", 56, -1, 13, 129, 6,  56, 36, 0xFFFF0000u, 10},
    {"FLOWER",     58, 0,  13, 129, 16, 66, 18, 0xFFFE8E08u, 9},
    {"NOVELTY",    52, 46, 7,  81,  6,  48, 18, 0xFF6DADFFu, 8},
}};
// clang-format on

namespace {

constexpr int kFirstDelayMs = 100;
constexpr int kOvershootDelayMs = 50;
constexpr int kMinimumDelayMs = 10;
constexpr qreal kOvershootDegrees = 3;
// 96 dots per inch: the dial text's point sizes mean what they mean on screen.
constexpr int kDialDotsPerMeter = 3780;

QImage loadPicture(AnalogClockStyle style, const char* suffix)
{
    QImage picture(ClockPicturePath(style, suffix));
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A black silhouette of the picture at `alpha` of its opacity, grown by one pixel on every
// side so the shadow reads as soft.
QImage shadowOf(const QImage& picture, qreal alpha)
{
    QImage shadow(picture.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    if (picture.isNull())
        return shadow;
    QPainter p(&shadow);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(-1, -1, picture.width() + 2, picture.height() + 2), picture);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(shadow.rect(), QColor(0, 0, 0, qRound(alpha * 255)));
    return shadow;
}

// Pictures a face is missing (never the case for the shipped set) stay transparent.
QImage orBlank(QImage picture, QSize size)
{
    if (!picture.isNull())
        return picture;
    QImage blank(size, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
}

} // namespace

const ClockInfo& ClockInfoOf(AnalogClockStyle style)
{
    const auto index = static_cast<std::size_t>(style);
    return kClockFaces[index < kClockFaces.size() ? index : 0];
}

QString ClockPicturePath(AnalogClockStyle style, const char* suffix)
{
    return u":/clock/"_s + QLatin1StringView(ClockInfoOf(style).prefix) + u"_CLOCK_"_s +
           QLatin1StringView(suffix) + u".png"_s;
}

ClockHandAngles HandAnglesAt(const QTime& time, bool showSeconds, bool overshoot)
{
    const int h = time.hour();
    const int m = time.minute();
    const int s = time.second();
    ClockHandAngles angles;
    angles.hour = (h % 12) * 30 + m / 2.0;
    angles.minute = showSeconds ? m * 6 + s / 10.0 : m * 6.0;
    angles.second = s * 6 + (overshoot ? kOvershootDegrees : 0);
    return angles;
}

int NextTickDelay(const QTime& time, bool showSeconds, bool afterOvershoot)
{
    if (afterOvershoot)
        return kOvershootDelayMs;
    const int delay = showSeconds ? 1000 - time.msec() : 61000 - time.msec() - 1000 * time.second();
    return std::max(delay, kMinimumDelayMs);
}

QRect ClockFitRect(const QSize& control, const QSize& dial, bool shrinkOnly)
{
    if (control.isEmpty() || dial.isEmpty())
        return {};
    QSize size = dial;
    const bool fits = control.width() >= dial.width() && control.height() >= dial.height();
    if (!shrinkOnly || !fits) {
        // The smaller of the two scale factors, compared and applied in integers.
        const qint64 cw = control.width(), ch = control.height();
        const qint64 dw = dial.width(), dh = dial.height();
        if (cw * dh <= ch * dw)
            size = QSize(int(cw), int((dh * cw + dw / 2) / dw));
        else
            size = QSize(int((dw * ch + dh / 2) / dh), int(ch));
    }
    return QRect(
        QPoint((control.width() - size.width()) / 2, (control.height() - size.height()) / 2), size);
}

AnalogClock::AnalogClock(QWidget* parent) : QWidget(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AnalogClock::tick);
    time_ = readTimeSource();
    resize(130, 130);
    loadStyle();
}

AnalogClock::~AnalogClock() = default;

QTime AnalogClock::readTimeSource() const
{
    const QTime time = timeSource_ ? timeSource_() : QTime();
    return time.isValid() ? time : QTime::currentTime();
}

void AnalogClock::followTimeSource()
{
    const QTime now = readTimeSource();
    if (now == time_)
        return;
    time_ = now;
    emit timeChanged(time_);
}

void AnalogClock::setTimeSource(TimeSource source)
{
    timeSource_ = std::move(source);
}

bool AnalogClock::shouldTick() const
{
    // A hidden clock has nothing to show; showEvent starts it again.
    return active_ && isVisible();
}

void AnalogClock::armTimer(int delayMs)
{
    timer_.start(std::max(delayMs, kMinimumDelayMs));
}

void AnalogClock::stopTimer()
{
    timer_.stop();
}

int AnalogClock::pendingDelay() const
{
    return timer_.isActive() ? timer_.interval() : -1;
}

template <typename Change> void AnalogClock::changeAndRestart(Change&& change)
{
    stopTimer();
    change();
    if (active_)
        followTimeSource();
    renderFrame(false);
    update(fitRect_);
    if (shouldTick())
        armTimer(kFirstDelayMs);
}

void AnalogClock::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (active_) {
        if (shouldTick())
            armTimer(kFirstDelayMs);
    } else {
        stopTimer();
        // Do not freeze with the second hand half a step ahead.
        if (overshoot_) {
            renderFrame(false);
            update(fitRect_);
        }
    }
    emit activeChanged(active_);
}

void AnalogClock::setStyle(AnalogClockStyle style)
{
    if (style == style_)
        return;
    changeAndRestart([&] {
        style_ = style;
        loadStyle();
    });
    update(); // the new face may cover another part of the control
    emit styleChanged(style_);
}

void AnalogClock::setShowSeconds(bool show)
{
    if (show == showSeconds_)
        return;
    changeAndRestart([&] { showSeconds_ = show; });
    emit showSecondsChanged(showSeconds_);
}

void AnalogClock::setTime(const QTime& time)
{
    if (active_ || !time.isValid() || time == time_)
        return;
    time_ = time;
    renderFrame(false);
    update(fitRect_);
    emit timeChanged(time_);
}

void AnalogClock::setTimeOffset(const QTime& offset)
{
    const QTime value = offset.isValid() ? offset : QTime(0, 0);
    if (value == timeOffset_)
        return;
    changeAndRestart([&] { timeOffset_ = value; });
    emit timeOffsetChanged(timeOffset_);
}

void AnalogClock::setFontName(const QString& name)
{
    if (name == fontName_)
        return;
    changeAndRestart([&] {
        fontName_ = name;
        writeDialText();
    });
    emit fontNameChanged(fontName_);
}

void AnalogClock::setText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == text_)
        return;
    changeAndRestart([&] {
        text_ = trimmed;
        writeDialText();
    });
    emit textChanged(text_);
}

void AnalogClock::setShrinkOnly(bool shrinkOnly)
{
    if (shrinkOnly == shrinkOnly_)
        return;
    changeAndRestart([&] {
        shrinkOnly_ = shrinkOnly;
        updateFit();
        prepareScaled();
    });
    update();
    emit shrinkOnlyChanged(shrinkOnly_);
}

void AnalogClock::setAutoSize(bool autoSize)
{
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    setSizePolicy(autoSize_ ? QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed)
                            : QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    applyAutoSize();
    emit autoSizeChanged(autoSize_);
}

void AnalogClock::applyAutoSize()
{
    if (autoSize_ && !dial_.isNull() && size() != dial_.size())
        resize(dial_.size());
}

QSize AnalogClock::sizeHint() const
{
    return dial_.isNull() ? QSize(130, 130) : dial_.size();
}

void AnalogClock::loadStyle()
{
    const ClockInfo& info = ClockInfoOf(style_);
    const QSize strip(info.handWidth, info.handHeight);
    face_ = loadPicture(style_, "FACE");
    if (face_.isNull())
        face_ = orBlank({}, QSize(130, 130));
    hour_.picture = orBlank(loadPicture(style_, "H"), strip);
    minute_.picture = orBlank(loadPicture(style_, "M"), strip);
    second_.picture = orBlank(loadPicture(style_, "S"), strip);
    cap_.picture = orBlank(loadPicture(style_, "DOT"), strip);
    glass_ = loadPicture(style_, "GLASS");
    hour_.shadow = shadowOf(hour_.picture, 0.25);
    minute_.shadow = shadowOf(minute_.picture, 0.25);
    second_.shadow = shadowOf(second_.picture, 0.2);
    cap_.shadow = shadowOf(cap_.picture, 0.2);
    updateFit();
    writeDialText();
    overshoot_ = false;
    updateGeometry();
    applyAutoSize();
}

void AnalogClock::writeDialText()
{
    dial_ = face_.copy(); // a fresh dial, so a previous text never shows through
    dial_.setDotsPerMeterX(kDialDotsPerMeter);
    dial_.setDotsPerMeterY(kDialDotsPerMeter);
    dialTextPending_ = !text_.isEmpty() && !isVisible();
    if (!text_.isEmpty() && !dialTextPending_)
        drawDialText();
    prepareScaled();
}

void AnalogClock::drawPendingDialText()
{
    if (!dialTextPending_)
        return;
    dialTextPending_ = false;
    drawDialText();
    prepareScaled();
    renderFrame(overshoot_);
    update();
}

const QImage& AnalogClock::dialPicture() const
{
    // Asked for the picture, a clock draws the text it has put off.
    const_cast<AnalogClock*>(this)->drawPendingDialText();
    return dial_;
}

void AnalogClock::drawDialText()
{
    const ClockInfo& info = ClockInfoOf(style_);
    const QRectF box = info.textBox();

    QFont font(fontName_.isEmpty() ? this->font().family() : fontName_);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setPointSizeF(info.fontSize);
    const qreal measured = QFontMetricsF(font, &dial_).horizontalAdvance(text_);
    if (measured > box.width())
        font.setPointSizeF(info.fontSize * box.width() / measured);
    const QString shown =
        QFontMetricsF(font, &dial_).elidedText(text_, Qt::ElideRight, box.width() + 0.5);

    QPainter p(&dial_);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(QColor::fromRgba(info.textColor));
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(layoutDirection());
    p.drawText(box, shown, option);
}

void AnalogClock::updateFit()
{
    fitRect_ = ClockFitRect(size(), face_.size(), shrinkOnly_);
}

void AnalogClock::prepareScaled()
{
    // The dial and glass are resampled here, once, so a tick only turns the hands.
    const qreal dpr = devicePixelRatioF();
    const QSize target = (QSizeF(fitRect_.size()) * dpr).toSize();
    const auto scaled = [&](const QImage& picture) {
        if (picture.isNull() || target.isEmpty())
            return QImage();
        QImage result = picture.size() == target ? picture
                                                 : picture.scaled(target, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation);
        result.setDevicePixelRatio(dpr);
        return result;
    };
    scaledDial_ = scaled(dial_);
    scaledGlass_ = scaled(glass_);
    if (target.isEmpty()) {
        display_ = QImage();
    } else if (display_.size() != target) {
        display_ = QImage(target, QImage::Format_ARGB32_Premultiplied);
        display_.fill(Qt::transparent);
    }
    display_.setDevicePixelRatio(dpr);
}

void AnalogClock::renderFrame(bool overshoot)
{
    overshoot_ = overshoot;
    capShown_ = !showSeconds_;
    const QTime shown = time_.addMSecs(timeOffset_.msecsSinceStartOfDay());
    lastAngles_ = HandAnglesAt(shown, showSeconds_, overshoot);
    if (display_.isNull() || scaledDial_.isNull())
        return;
    const ClockInfo& info = ClockInfoOf(style_);

    // Drawn straight at the fit size: the hands are resampled once, and no buffer of the
    // dial's natural size is scaled at every tick.
    QPainter p(&display_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, scaledDial_);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    const QTransform fit = QTransform::fromScale(qreal(fitRect_.width()) / face_.width(),
                                                 qreal(fitRect_.height()) / face_.height());
    const QPointF centre = info.centre();
    const auto turned = [&](qreal angle, qreal offset) {
        QTransform t;
        t.translate(centre.x() + offset, centre.y() + offset);
        t.rotate(angle);
        t.translate(-centre.x(), -centre.y());
        return t * fit;
    };
    const auto drawHand = [&](const Hand& hand, qreal angle, qreal shadowOffset) {
        p.setTransform(turned(angle, shadowOffset));
        p.drawImage(info.shadowRect(), hand.shadow);
        p.setTransform(turned(angle, 0));
        p.drawImage(info.handRect(), hand.picture);
    };
    drawHand(hour_, lastAngles_.hour, 1);
    drawHand(minute_, lastAngles_.minute, 1);
    if (showSeconds_)
        drawHand(second_, lastAngles_.second, 1.5);
    else
        drawHand(cap_, 0, 1.5);
    p.resetTransform();
    if (!scaledGlass_.isNull())
        p.drawImage(0, 0, scaledGlass_);
}

void AnalogClock::tick()
{
    if (active_)
        followTimeSource();
    const bool overshoot = showSeconds_ && active_ && !overshoot_;
    renderFrame(overshoot);
    update(fitRect_);
    const QTime shown = time_.addMSecs(timeOffset_.msecsSinceStartOfDay());
    if (shouldTick())
        armTimer(NextTickDelay(shown, showSeconds_, overshoot));
    if (!overshoot)
        emit clockTicked();
}

void AnalogClock::paintEvent(QPaintEvent*)
{
    // Nothing but the dial: the parent shows through around it.
    if (display_.isNull())
        return;
    QPainter p(this);
    p.drawImage(fitRect_.topLeft(), display_);
}

void AnalogClock::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateFit();
    prepareScaled();
    renderFrame(overshoot_);
    update();
}

void AnalogClock::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (active_)
        followTimeSource();
    renderFrame(false);
    if (shouldTick())
        armTimer(kFirstDelayMs);
    if (dialTextPending_)
        QTimer::singleShot(0, this, [this] { drawPendingDialText(); });
}

void AnalogClock::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    stopTimer();
}

void AnalogClock::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::LayoutDirectionChange:
        changeAndRestart([&] { writeDialText(); });
        break;
    case QEvent::FontChange:
        // The widget font only matters when no dial font is named.
        if (fontName_.isEmpty())
            changeAndRestart([&] { writeDialText(); });
        break;
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}
