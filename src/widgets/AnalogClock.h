#pragma once

#include "core/ProgramFont.h"

#include <QImage>
#include <QRectF>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

// The clock faces, numbered 0-7 in this order.
enum class AnalogClockStyle {
    acSystem,
    acModern,
    acSquare,
    acTrad,
    acDiner,
    acCronometer,
    acFlower,
    acNovelty
};

// Where a face's hands turn and where its dial text goes, in dial pixels. Every hand
// picture of a face is an upright strip of the hand rectangle's size, pivot at its centre.
struct ClockInfo
{
    const char* prefix; // picture names: prefix + "_CLOCK_FACE", "_CLOCK_H", ...
    int handLeft;       // hand strip on the dial
    int handTop;
    int handWidth;
    int handHeight;
    int textTop;   // top of the text box, below the centre of rotation
    int textWidth; // the box is centred horizontally on the centre
    int textHeight;
    unsigned int textColor; // ARGB
    int fontSize;           // points

    QRectF handRect() const { return QRectF(handLeft, handTop, handWidth, handHeight); }
    QPointF centre() const { return handRect().center(); }
    // The hand rectangle grown by one pixel on every side, for the soft shadows.
    QRectF shadowRect() const { return handRect().adjusted(-1, -1, 1, 1); }
    QRectF textBox() const
    {
        return QRectF(centre().x() - textWidth / 2.0, centre().y() + textTop, textWidth,
                      textHeight);
    }
};

// One row per style, in style order.
extern const std::array<ClockInfo, 8> kClockFaces;
const ClockInfo& ClockInfoOf(AnalogClockStyle style);

// Hand angles of one frame, in degrees clockwise from 12 o'clock.
struct ClockHandAngles
{
    qreal hour = 0;
    qreal minute = 0;
    qreal second = 0; // meaningful only with seconds shown
};

// Angles for a time of day; `overshoot` adds the 3-degree jump of the second hand.
ClockHandAngles HandAnglesAt(const QTime& time, bool showSeconds, bool overshoot);
// Milliseconds to the next tick after a frame drawn for `time`.
int NextTickDelay(const QTime& time, bool showSeconds, bool afterOvershoot);
// Where a dial of `dial` size is drawn inside a control of `control` size.
QRect ClockFitRect(const QSize& control, const QSize& dial, bool shrinkOnly);
// Resource path of one picture of a face, e.g. ":/clock/TRAD_CLOCK_FACE.png".
QString ClockPicturePath(AnalogClockStyle style, const char* suffix);

// An analog clock with eight faces. It ticks with a precise one-shot timer on the UI
// thread: the second hand jumps 3 degrees past each second and settles 50 ms later. The
// control is transparent around its dial, and a tick repaints the dial only.
class AnalogClock final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(AnalogClockStyle clockStyle READ clockStyle WRITE setStyle NOTIFY styleChanged)
    Q_PROPERTY(bool showSeconds READ showSeconds WRITE setShowSeconds NOTIFY showSecondsChanged)
    Q_PROPERTY(QTime time READ time WRITE setTime NOTIFY timeChanged)
    Q_PROPERTY(QTime timeOffset READ timeOffset WRITE setTimeOffset NOTIFY timeOffsetChanged)
    Q_PROPERTY(QString fontName READ fontName WRITE setFontName NOTIFY fontNameChanged)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool shrinkOnly READ shrinkOnly WRITE setShrinkOnly NOTIFY shrinkOnlyChanged)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize NOTIFY autoSizeChanged)

public:
    // Reads the time of day; tests replace the system clock with their own.
    using TimeSource = std::function<QTime()>;

    explicit AnalogClock(QWidget* parent = nullptr);
    ~AnalogClock() override;

    // Whether the clock follows the time source; false freezes it at time().
    bool active() const { return active_; }
    void setActive(bool active);

    // The face. QWidget::style() keeps meaning the widget style, hence clockStyle().
    AnalogClockStyle clockStyle() const { return style_; }
    using QWidget::setStyle;
    void setStyle(AnalogClockStyle style);

    bool showSeconds() const { return showSeconds_; }
    void setShowSeconds(bool show);

    // The time shown before the offset; written only while the clock is inactive.
    QTime time() const { return time_; }
    void setTime(const QTime& time);

    // Added to time() before it is shown, wrapping at midnight.
    QTime timeOffset() const { return timeOffset_; }
    void setTimeOffset(const QTime& offset);

    // Font family of the dial text; "Tahoma" unless set.
    QString fontName() const { return fontName_; }
    void setFontName(const QString& name);

    // The dial text, kept trimmed of surrounding blanks.
    QString text() const { return text_; }
    void setText(const QString& text);

    // Never draw the face larger than its pictures.
    bool shrinkOnly() const { return shrinkOnly_; }
    void setShrinkOnly(bool shrinkOnly);

    // The control takes the face's natural size.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);

    // The natural size of the current face.
    QSize dialSize() const { return dial_.size(); }
    QSize sizeHint() const override;
    // Where the dial is drawn inside the control.
    QRect fitRect() const { return ClockFitRect(size(), dialSize(), shrinkOnly_); }

    // Seams for tests and benchmarks.
    void setTimeSource(TimeSource source); // empty restores the system clock
    void tick();                           // what the timer does when it fires
    bool isTicking() const { return timer_.isActive(); }
    int pendingDelay() const; // ms of the armed timer, -1 when stopped
    bool overshootShown() const { return overshoot_; }
    bool capShown() const { return capShown_; }
    ClockHandAngles lastAngles() const { return lastAngles_; }
    const QImage& dialPicture() const;                      // the dial with its text
    const QImage& framePicture() const { return display_; } // the last frame, fit size

signals:
    // Raised once per settled tick.
    void clockTicked();
    void timeChanged(const QTime& time);
    void activeChanged(bool active);
    void styleChanged(AnalogClockStyle style);
    void showSecondsChanged(bool show);
    void timeOffsetChanged(const QTime& offset);
    void fontNameChanged(const QString& name);
    void textChanged(const QString& text);
    void shrinkOnlyChanged(bool shrinkOnly);
    void autoSizeChanged(bool autoSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Hand
    {
        QImage picture;
        QImage shadow;
    };

    void loadStyle();
    void writeDialText();
    // Draws the text a hidden clock left for later; the first frame does without it.
    void drawPendingDialText();
    void updateFit();
    void applyAutoSize();
    // Property writers: stop, change, redraw, restart after 100 ms.
    template <typename Change> void changeAndRestart(Change&& change);
    void renderFrame(bool overshoot);
    void drawDialText();
    void prepareScaled();
    void armTimer(int delayMs);
    void stopTimer();
    bool shouldTick() const;
    QTime readTimeSource() const;
    void followTimeSource();

    AnalogClockStyle style_ = AnalogClockStyle::acSystem;
    bool active_ = true;
    bool showSeconds_ = true;
    QTime time_;
    QTime timeOffset_ = QTime(0, 0);
    QString fontName_ = ProgramFontFamily();
    QString text_;
    bool shrinkOnly_ = false;
    bool autoSize_ = false;
    TimeSource timeSource_;

    QImage face_; // the dial as loaded
    QImage dial_; // the dial with its text
    // Shaping the dial's text is the costliest step of a new clock: a hidden clock leaves it
    // until shown, so the choices made while a window is built (font, text, face) cost once.
    bool dialTextPending_ = false;
    Hand hour_;
    Hand minute_;
    Hand second_;
    Hand cap_;
    QImage glass_;      // null when the face has none
    QImage scaledDial_; // dial_ and glass_ at the fit rectangle's size
    QImage scaledGlass_;
    QImage display_; // the last frame, at the fit rectangle's size
    QRect fitRect_;
    QTimer timer_;
    bool overshoot_ = false;
    bool capShown_ = false;
    ClockHandAngles lastAngles_;
};
