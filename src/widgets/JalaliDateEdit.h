#pragma once

#include "core/calendar/JalaliCalendar.h"
#include "core/errors/AppError.h"
#include "widgets/JalaliMonthView.h"

#include <QFrame>
#include <QWidget>

// A date or a limit the picker refuses ("Date exceeds maximum of ...").
class DateTimeError final : public AppError
{
public:
    using AppError::AppError;
};

enum AutoMoveDirection { amdYMD, amdDMY };
enum DropDownAlign { daLeft, daRight, daCenter };

// The Jalali date field: year, month and day boxes, typed into digit by digit, stepped with
// the keys and the wheel. The boxes run year/month/day from left to right in both reading
// directions.
class JalaliDateEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double Date READ Date WRITE setDate NOTIFY dateChanged)
    Q_PROPERTY(double MinDate READ minDate WRITE setMinDate NOTIFY settingsChanged)
    Q_PROPERTY(double MaxDate READ maxDate WRITE setMaxDate NOTIFY settingsChanged)
    Q_PROPERTY(bool AllowNull READ allowNull WRITE setAllowNull NOTIFY settingsChanged)
    Q_PROPERTY(bool IsNull READ IsNull WRITE setIsNull NOTIFY dateChanged)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE setAlignment NOTIFY settingsChanged)
    Q_PROPERTY(bool AutoMove READ autoMove WRITE setAutoMove NOTIFY settingsChanged)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize NOTIFY settingsChanged)
    Q_PROPERTY(bool ReadOnly READ readOnly WRITE setReadOnly NOTIFY settingsChanged)
    Q_PROPERTY(
        bool UseCurrentDate READ useCurrentDate WRITE setUseCurrentDate NOTIFY settingsChanged)
public:
    explicit JalaliDateEdit(QWidget* parent = nullptr);
    ~JalaliDateEdit() override;

    // The date (whole days). While digits are being typed it is the date from before.
    SerialDate Date() const;
    // Raises DateTimeError outside the limits; raises dateChanged when the date differs.
    void setDate(SerialDate value);
    SerialDate minDate() const { return minDate_; }
    SerialDate maxDate() const { return maxDate_; }
    void setMinDate(SerialDate value);
    void setMaxDate(SerialDate value);
    bool allowNull() const { return allowNull_; }
    void setAllowNull(bool on);
    bool IsNull() const { return isNull_; }
    void setIsNull(bool on);
    Qt::Alignment Alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);
    bool autoMove() const { return autoMove_; }
    void setAutoMove(bool on);
    AutoMoveDirection autoMoveDirection() const { return autoMoveDirection_; }
    void setAutoMoveDirection(AutoMoveDirection direction);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    bool useCurrentDate() const { return useCurrentDate_; }
    void setUseCurrentDate(bool on);

    // The date parts as shown (while typing, the digits typed so far).
    quint16 year() const { return year_; }
    quint16 month() const { return month_; }
    quint16 day() const { return day_; }
    // 0 = year, 1 = month, 2 = day.
    int activePart() const { return activePart_; }
    void setActivePart(int part);
    bool isTyping() const { return typing_; }

    // Ends a digit entry: completes a two-digit year, takes back a year of 100..1199 and a
    // date outside the limits, and raises dateChanged when the date changed. False when the
    // typed date was taken back.
    bool endEdit();

    // The boxes, in widget coordinates (part 0 = year, 1 = month, 2 = day), and the band
    // the text sits in.
    QRect partRect(int part) const;
    QRect textBand() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // After every change of the date by the user or by a property, as the control rules say.
    void dateChanged();
    void settingsChanged();

protected:
    struct Parts
    {
        quint16 year = 0;
        quint16 month = 0;
        quint16 day = 0;
        friend bool operator==(const Parts&, const Parts&) = default;
    };

    // The date change: repaints what differs; a change ends the null state and, when
    // notifying, raises dateChanged once.
    void noteDateChange(const Parts& before, bool notify);
    Parts parts() const { return {year_, month_, day_}; }
    void setParts(const Parts& parts);
    // The area the date block is placed in (the drop-down picker leaves out its button and
    // check box).
    virtual QRect contentRect() const;
    // Whether the user may change the date now.
    virtual bool editable() const;
    // Drawn in the grey-text colour: disabled, or unchecked with the check box shown.
    virtual bool greyed() const;

    void stepPart(int delta);
    void addDays(int days);
    void setToday();
    void copyToClipboard();
    void pasteFromClipboard();
    void nullify();
    void clampAndNotify(const Parts& before);
    // Handles a key of the field; false when it is not one of them.
    bool handleFieldKey(QKeyEvent* event);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void paintField(QPainter& p);
    int frameWidth() const;
    void applyAutoSize();

private:
    struct BlockMetrics
    {
        int numberWidth = 0; // W
        int slashWidth = 0;  // S
    };
    BlockMetrics blockMetrics() const;
    void typeDigit(int digit);
    void moveActive(bool right);
    bool inLimits(SerialDate value) const;
    SerialDate encodeParts(const Parts& p) const;
    Parts partsOf(SerialDate value) const;

    quint16 year_ = 0;
    quint16 month_ = 0;
    quint16 day_ = 0;
    int activePart_ = 2;
    bool allowNull_ = false;
    bool isNull_ = false;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    bool autoMove_ = true;
    AutoMoveDirection autoMoveDirection_ = amdDMY;
    bool autoSize_ = true;
    SerialDate minDate_ = 0;
    SerialDate maxDate_ = 0;
    bool readOnly_ = false;
    bool useCurrentDate_ = true;
    bool typing_ = false;
    Parts preTyping_;
    int previousDigit_ = -1;
    int wheelRemainder_ = 0;
};

class JalaliDateDropDown;

// The pop-up window that holds the month calendar under the field.
class DropDownMonthView final : public QFrame
{
    Q_OBJECT
public:
    explicit DropDownMonthView(JalaliDateDropDown* picker);
    JalaliMonthView* calendar() const { return calendar_; }
    // A key while open: Enter, Esc, Alt+Down and Alt+Up close, the rest move the calendar.
    void processKey(QKeyEvent* event);
    // Leaves the keyboard to the pop-up itself, so its keys reach processKey.
    void dropStaleFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    JalaliDateDropDown* picker_ = nullptr;
    JalaliMonthView* calendar_ = nullptr;
};

// The date field with a drop-down button opening the month calendar, and an optional check
// box that says whether the date counts.
class JalaliDateDropDown final : public JalaliDateEdit
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked NOTIFY settingsChanged)
    Q_PROPERTY(bool ShowCheckBox READ showCheckBox WRITE setShowCheckBox NOTIFY settingsChanged)
    Q_PROPERTY(bool DroppedDown READ droppedDown NOTIFY settingsChanged)
public:
    explicit JalaliDateDropDown(QWidget* parent = nullptr);
    ~JalaliDateDropDown() override;

    DropDownAlign dropDownAlign() const { return dropDownAlign_; }
    void setDropDownAlign(DropDownAlign align);
    bool Checked() const { return checked_; }
    void setChecked(bool on);
    bool showCheckBox() const { return showCheckBox_; }
    void setShowCheckBox(bool on);
    DefaultBoldDays defaultBoldDays() const { return defaultBoldDays_; }
    void setDefaultBoldDays(DefaultBoldDays days);
    MonthViewOptions calendarOptions() const { return calendarOptions_; }
    // Stored without mcoMultiSelect and mcoRangeSelect.
    void setCalendarOptions(MonthViewOptions options);
    // The calendar's colours, shared with the drop-down calendar.
    MonthViewColors* calColors() const;

    bool droppedDown() const { return droppedDown_; }
    // Opens the calendar under (or over) the field; nothing when open or read-only.
    void dropDown();
    // Closes the calendar, taking its date or not; nothing when closed.
    void closeUp(bool take);

    DropDownMonthView* dropDownWindow() const { return dropDown_; }
    JalaliMonthView* calendar() const;
    QRect buttonRect() const;
    QRect checkBoxRect() const;
    int buttonWidth() const;

    QSize sizeHint() const override;

signals:
    void dropDownShown();
    void dropDownClosed();
    void onGetMonthInfo(quint16 year, quint16 month, quint32& monthBoldDays);

protected:
    QRect contentRect() const override;
    bool editable() const override;
    bool greyed() const override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class DropDownMonthView;
    void toggleChecked();
    void placeDropDown();

    DropDownAlign dropDownAlign_ = daLeft;
    bool checked_ = true;
    bool showCheckBox_ = false;
    DefaultBoldDays defaultBoldDays_ = dbdNone;
    MonthViewOptions calendarOptions_ = kDefaultMonthViewOptions;
    bool droppedDown_ = false;
    bool buttonPressed_ = false;
    bool closing_ = false;
    DropDownMonthView* dropDown_ = nullptr;
};
