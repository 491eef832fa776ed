#pragma once

#include "core/calendar/JalaliCalendar.h"

#include <QColor>
#include <QFlags>
#include <QPalette>
#include <QSpinBox>
#include <QWidget>
#include <array>

class QMenu;

// Options of the month calendar, in bit order.
enum MonthViewOption : quint32 {
    mcoToday = 1u << 0,
    mcoTodayCircle = 1u << 1,
    mcoWeekNumbers = 1u << 2,
    mcoTrailingDays = 1u << 3,
    mcoMultiSelect = 1u << 4,
    mcoRangeSelect = 1u << 5,
    mcoSelectTrailDays = 1u << 6,
    mcoDaysVertLine = 1u << 7,
    mcoWeeksHorzLine = 1u << 8,
    mcoVerticalLine = 1u << 9,
    mcoHorizontalLine = 1u << 10,
    mcoMonthButtons = 1u << 11,
    mcoMonthPopupMenu = 1u << 12,
    mcoYearEditor = 1u << 13,
};
Q_DECLARE_FLAGS(MonthViewOptions, MonthViewOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(MonthViewOptions)

// The set a date picker starts with.
inline constexpr MonthViewOptions kDefaultMonthViewOptions =
    MonthViewOptions(mcoToday | mcoTodayCircle | mcoTrailingDays | mcoSelectTrailDays |
                     mcoMonthButtons | mcoMonthPopupMenu | mcoYearEditor);

// The weekday drawn in bold.
enum DefaultBoldDays {
    dbdSaturdays,
    dbdSundays,
    dbdMondays,
    dbdTuesdays,
    dbdWednesdays,
    dbdThursdays,
    dbdFridays,
    dbdNone,
};

// The calendar's nine colours. A colour left at its system default follows the palette of
// the calendar it is drawn in, so themes keep applying.
class MonthViewColors final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor CircleColor READ circleColor WRITE setCircleColor NOTIFY changed)
    Q_PROPERTY(QColor TextColor READ TextColor WRITE setTextColor NOTIFY changed)
    Q_PROPERTY(QColor TitleBackColor READ titleBackColor WRITE setTitleBackColor NOTIFY changed)
    Q_PROPERTY(QColor TitleTextColor READ titleTextColor WRITE setTitleTextColor NOTIFY changed)
    Q_PROPERTY(QColor MonthBackColor READ monthBackColor WRITE setMonthBackColor NOTIFY changed)
    Q_PROPERTY(
        QColor TrailingTextColor READ trailingTextColor WRITE setTrailingTextColor NOTIFY changed)
    Q_PROPERTY(QColor BoldDaysColor READ boldDaysColor WRITE setBoldDaysColor NOTIFY changed)
    Q_PROPERTY(QColor LinesColor READ linesColor WRITE setLinesColor NOTIFY changed)
    Q_PROPERTY(QColor FixedTextColor READ fixedTextColor WRITE setFixedTextColor NOTIFY changed)
public:
    enum Which {
        Circle,
        Text,
        TitleBack,
        TitleText,
        MonthBack,
        TrailingText,
        BoldDays,
        Lines,
        FixedText,
        Count
    };

    explicit MonthViewColors(QObject* parent = nullptr);

    // The colour as drawn with a palette; an invalid colour for BoldDays "none".
    QColor color(Which which, const QPalette& palette) const;
    QColor color(Which which) const;
    void setColor(Which which, const QColor& color);
    // Back to the default (a system colour, or none for BoldDays).
    void resetColor(Which which);
    bool isDefault(Which which) const { return !colors_[which].isValid() && !explicitNone_[which]; }
    void assign(const MonthViewColors& other);

    QColor circleColor() const { return color(Circle); }
    QColor TextColor() const { return color(Text); }
    QColor titleBackColor() const { return color(TitleBack); }
    QColor titleTextColor() const { return color(TitleText); }
    QColor monthBackColor() const { return color(MonthBack); }
    QColor trailingTextColor() const { return color(TrailingText); }
    QColor boldDaysColor() const { return color(BoldDays); }
    QColor linesColor() const { return color(Lines); }
    QColor fixedTextColor() const { return color(FixedText); }
    void setCircleColor(const QColor& c) { setColor(Circle, c); }
    void setTextColor(const QColor& c) { setColor(Text, c); }
    void setTitleBackColor(const QColor& c) { setColor(TitleBack, c); }
    void setTitleTextColor(const QColor& c) { setColor(TitleText, c); }
    void setMonthBackColor(const QColor& c) { setColor(MonthBack, c); }
    void setTrailingTextColor(const QColor& c) { setColor(TrailingText, c); }
    // An invalid colour means none: bold days then use TextColor.
    void setBoldDaysColor(const QColor& c) { setColor(BoldDays, c); }
    void setLinesColor(const QColor& c) { setColor(Lines, c); }
    void setFixedTextColor(const QColor& c) { setColor(FixedText, c); }

signals:
    void changed();

private:
    std::array<QColor, Count> colors_{};
    // Set when BoldDaysColor was written as none on purpose (its default is none as well).
    std::array<bool, Count> explicitNone_{};
};

class JalaliMonthView;

// The year editor over the title's year: a read-only field with a spin button. It applies
// its year on Enter, on losing the focus and on a click elsewhere; Esc drops it.
class YearEdit final : public QSpinBox
{
    Q_OBJECT
public:
    explicit YearEdit(JalaliMonthView* calendar);
    using QSpinBox::lineEdit;

    // Applies (or drops) the year and hides the editor; nothing when it is hidden.
    void finish(bool apply);

signals:
    void finished(bool apply, int year);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool finishing_ = false;
};

// One Jalali month as a grid of weeks from Saturday to Friday, with a title bar, month
// buttons, a month menu, a year editor and a today line. Mirrored, painting and hit-testing
// alike, in right-to-left mode (the default).
class JalaliMonthView final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double Date READ Date WRITE setDate NOTIFY dateChanged)
    Q_PROPERTY(double MinDate READ minDate WRITE setMinDate NOTIFY settingsChanged)
    Q_PROPERTY(double MaxDate READ maxDate WRITE setMaxDate NOTIFY settingsChanged)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize NOTIFY settingsChanged)
public:
    explicit JalaliMonthView(QWidget* parent = nullptr);
    ~JalaliMonthView() override;

    // What lies under a point of the widget.
    enum class Part {
        Nothing,
        Title,
        LeftButton,
        RightButton,
        MonthName,
        Year,
        DayName,
        WeekNumber,
        Day,
        TodayLine
    };
    struct Hit
    {
        Part part = Part::Nothing;
        int cell = -1; // 0..41 for Day, the week row 0..5 for WeekNumber
    };

    SerialDate Date() const { return date_; }
    // The value is taken as a whole day and clamped into the limits; a value with no Jalali
    // date is ignored.
    void setDate(SerialDate value);
    SerialDate minDate() const { return minDate_; }
    SerialDate maxDate() const { return maxDate_; }
    void setMinDate(SerialDate value);
    void setMaxDate(SerialDate value);
    MonthViewOptions calendarOptions() const { return options_; }
    // mcoSelectTrailDays is dropped whenever mcoTrailingDays is off.
    void setCalendarOptions(MonthViewOptions options);
    DefaultBoldDays defaultBoldDays() const { return defaultBoldDays_; }
    void setDefaultBoldDays(DefaultBoldDays days);
    MonthViewColors* calColors() const { return colors_; }
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    // The shown month and its grid.
    quint16 shownYear() const { return year_; }
    quint16 shownMonth() const { return month_; }
    SerialDate firstDayOfMonth() const { return firstDay_; }
    SerialDate lastDayOfMonth() const { return lastDay_; }
    SerialDate firstCellDate() const { return firstCell_; }
    SerialDate cellDate(int index) const { return firstCell_ + index; }
    quint32 MonthBoldDays() const { return boldDays_; }
    // Whether a day cell may be chosen: inside the limits, and of the shown month unless
    // mcoSelectTrailDays is on.
    bool canChoose(int index) const;

    // Changing several settings at once shows the month (and asks for its bold days) once.
    void beginSetup();
    void endSetup();

    // Geometry, in widget coordinates after mirroring.
    int columnCount() const;
    int rowCount() const;
    QRect cellRect(int index) const;
    QRect weekNumberRect(int row) const;
    QRect dayNameRect(int weekday) const; // 1 = Saturday
    // The weekday's caption: its long name, or its short one when the columns are too narrow
    // to keep the long names apart.
    QString dayNameText(int weekday) const;
    QRect cornerRect() const;
    QRect titleRect() const;
    QRect leftButtonRect() const;
    QRect rightButtonRect() const;
    QRect monthNameRect() const;
    QRect yearRect() const;
    QRect todayLineRect() const;
    Hit hitTest(const QPoint& pos) const;

    // Navigation, as the keys, buttons and wheel use it. Refusals beep.
    void nextMonth();
    void previousMonth();
    void chooseMonth(int month);
    void goToday();
    // Handles a calendar key; false when the key is not one of the calendar's.
    bool handleKey(QKeyEvent* event);
    void handleWheel(QWheelEvent* event);

    YearEdit* yearEditor() const { return yearEdit_; }
    QMenu* monthMenu() const { return monthMenu_; }
    void showYearEditor();
    void showMonthMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dateChanged(double date);
    void settingsChanged();
    // A click chose a day or today: the drop-down closes taking the date.
    void dateChosen();
    // Raised whenever a month is shown; the mask may be changed (bit i = day i + 1 bold).
    void onGetMonthInfo(quint16 year, quint16 month, quint32& monthBoldDays);
    // A move the limits forbid; raised with the beep.
    void refused();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Metrics
    {
        int cols = 8;
        int rows = 10;
        double cw = 1;
        double rh = 1;
    };
    Metrics metrics() const;
    // Physical x range of a logical column (0 = the week column when shown, else Saturday).
    QRect columnRect(int logicalColumn, int row, int rowSpan = 1) const;
    int dayColumn(int weekdayIndex) const; // weekdayIndex 0 = Saturday
    void moveTo(SerialDate value, bool chosen = false);
    void showMonth();
    void beep();
    void applyAutoSize();
    SerialDate clamp(SerialDate value) const;
    bool inLimits(SerialDate value) const;
    void onYearEditFinished(bool apply, int year);
    void paintTitle(QPainter& p);
    void paintGrid(QPainter& p);
    void paintTodayLine(QPainter& p);
    void paintLines(QPainter& p);

    SerialDate date_ = 0;
    SerialDate firstDay_ = 0;
    SerialDate lastDay_ = 0;
    SerialDate firstCell_ = 0;
    SerialDate minDate_ = 0;
    SerialDate maxDate_ = 0;
    quint16 year_ = 0;
    quint16 month_ = 0;
    MonthViewOptions options_ = kDefaultMonthViewOptions;
    DefaultBoldDays defaultBoldDays_ = dbdNone;
    quint32 boldDays_ = 0;
    bool autoSize_ = true;
    int setupDepth_ = 0;
    bool monthPending_ = false;
    MonthViewColors* colors_ = nullptr;
    YearEdit* yearEdit_ = nullptr;
    QMenu* monthMenu_ = nullptr;
    int wheelRemainder_ = 0;
};
