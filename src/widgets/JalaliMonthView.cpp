#include "widgets/JalaliMonthView.h"

#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"
#include "core/errors/AppError.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <QWheelEvent>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kTodayCaption = u"امروز: "_s;
const QString kWeekCaption = u"هفته"_s;

constexpr int kCells = 42;
constexpr int kTitleRows = 2;
constexpr int kDayNameRow = 2;
constexpr int kFirstWeekRow = 3;
constexpr int kButtonWidth = 21;
constexpr int kButtonHeight = 16;
constexpr int kButtonMargin = 4;
constexpr int kTitleInset = 32;

SerialDate wholeDay(SerialDate value)
{
    return SerialDate(DayNumberOf(value));
}

bool hasJalaliDate(SerialDate value)
{
    const qint64 day = DayNumberOf(value);
    return day >= kFirstJalaliDay && day <= kLastJalaliDay;
}

quint16 yearOf(SerialDate value)
{
    quint16 y = 0, m = 0, d = 0;
    DecodeJalaliDate(value, y, m, d);
    return y;
}

// The date of (year, month) with the day cut to the month's length.
SerialDate dateIn(int year, int month, int day)
{
    const int length = JalaliDaysInMonth(quint16(year), quint16(month));
    return EncodeJalaliDate(quint16(year), quint16(month), quint16(std::min(day, length)));
}

} // namespace

// ---------------------------------------------------------------------------------------

MonthViewColors::MonthViewColors(QObject* parent) : QObject(parent) {}

QColor MonthViewColors::color(Which which, const QPalette& palette) const
{
    if (colors_[which].isValid() || explicitNone_[which])
        return colors_[which];
    // The month is drawn like a field (the palette's base and text) and the title like a
    // selection, so a dark theme gives a dark month with light days, never light on white.
    const auto active = [&](QPalette::ColorRole role) {
        return palette.color(QPalette::Active, role);
    };
    switch (which) {
    case Circle:
        return QColor(Qt::red);
    case Text:
        return active(QPalette::Text);
    case Lines:
        return active(QPalette::WindowText);
    case TitleBack:
        // The nearest this desktop has to the active title bar colour.
        return active(QPalette::Highlight);
    case TitleText:
        return active(QPalette::HighlightedText);
    case FixedText:
        // Weekday names in the theme's accent that stays readable on fields.
        return active(QPalette::Link);
    case MonthBack:
        return active(QPalette::Base);
    case TrailingText: {
        // The days of the neighbouring months fade towards the background, still readable.
        const QColor text = active(QPalette::Text), back = active(QPalette::Base);
        constexpr float kFade = 0.3f;
        return QColor::fromRgbF(text.redF() + (back.redF() - text.redF()) * kFade,
                                text.greenF() + (back.greenF() - text.greenF()) * kFade,
                                text.blueF() + (back.blueF() - text.blueF()) * kFade);
    }
    case BoldDays:
    case Count:
        break;
    }
    return {};
}

QColor MonthViewColors::color(Which which) const
{
    return color(which, QApplication::palette());
}

void MonthViewColors::setColor(Which which, const QColor& color)
{
    if (which < 0 || which >= Count)
        return;
    const bool none = !color.isValid();
    if (colors_[which] == color && explicitNone_[which] == none)
        return;
    colors_[which] = color;
    // Only BoldDaysColor has a meaning for "none"; elsewhere an invalid colour resets.
    explicitNone_[which] = none && which == BoldDays;
    emit changed();
}

void MonthViewColors::resetColor(Which which)
{
    if (which < 0 || which >= Count || isDefault(which))
        return;
    colors_[which] = QColor();
    explicitNone_[which] = false;
    emit changed();
}

void MonthViewColors::assign(const MonthViewColors& other)
{
    if (colors_ == other.colors_ && explicitNone_ == other.explicitNone_)
        return;
    colors_ = other.colors_;
    explicitNone_ = other.explicitNone_;
    emit changed();
}

// ---------------------------------------------------------------------------------------

YearEdit::YearEdit(JalaliMonthView* calendar) : QSpinBox(calendar)
{
    setFrame(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setGroupSeparatorShown(false);
    setAlignment(Qt::AlignCenter);
    setRange(1201, 9999);
    // The year changes by the spin button and the arrow keys only.
    lineEdit()->setReadOnly(true);
    setAutoFillBackground(true);
    hide();
}

void YearEdit::finish(bool apply)
{
    if (finishing_ || isHidden())
        return;
    finishing_ = true;
    const int year = value();
    hide();
    finishing_ = false;
    emit finished(apply, year);
}

void YearEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        finish(true);
        return;
    case Qt::Key_Escape:
        finish(false);
        return;
    default:
        QSpinBox::keyPressEvent(event);
    }
}

void YearEdit::focusOutEvent(QFocusEvent* event)
{
    QSpinBox::focusOutEvent(event);
    // A menu or a popup opening over the editor is not leaving it.
    if (event->reason() != Qt::PopupFocusReason)
        finish(true);
}

// ---------------------------------------------------------------------------------------

JalaliMonthView::JalaliMonthView(QWidget* parent)
    : QWidget(parent), colors_(new MonthViewColors(this)), yearEdit_(new YearEdit(this))
{
    setLayoutDirection(Qt::RightToLeft);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(305, 154);
    connect(colors_, &MonthViewColors::changed, this, [this] { update(); });
    connect(yearEdit_, &YearEdit::finished, this, &JalaliMonthView::onYearEditFinished);
    date_ = Today();
    if (!hasJalaliDate(date_))
        date_ = EncodeJalaliDate(1391, 1, 1);
    showMonth();
    applyAutoSize();
}

JalaliMonthView::~JalaliMonthView() = default;

void JalaliMonthView::setDate(SerialDate value)
{
    if (!std::isfinite(value) || !hasJalaliDate(value))
        return;
    moveTo(value);
}

void JalaliMonthView::setMinDate(SerialDate value)
{
    value = std::isfinite(value) ? wholeDay(value) : 0;
    if (value == minDate_)
        return;
    minDate_ = value;
    moveTo(date_);
    emit settingsChanged();
}

void JalaliMonthView::setMaxDate(SerialDate value)
{
    value = std::isfinite(value) ? wholeDay(value) : 0;
    if (value == maxDate_)
        return;
    maxDate_ = value;
    moveTo(date_);
    emit settingsChanged();
}

void JalaliMonthView::setCalendarOptions(MonthViewOptions options)
{
    if (!(options & mcoTrailingDays))
        options &= ~MonthViewOptions(mcoSelectTrailDays);
    if (options == options_)
        return;
    const bool sizeChanged = (options ^ options_) & (mcoWeekNumbers | mcoToday);
    options_ = options;
    if (!(options_ & mcoYearEditor))
        yearEdit_->finish(false);
    if (sizeChanged)
        applyAutoSize();
    update();
    emit settingsChanged();
}

void JalaliMonthView::setDefaultBoldDays(DefaultBoldDays days)
{
    if (days == defaultBoldDays_)
        return;
    defaultBoldDays_ = days;
    showMonth();
    emit settingsChanged();
}

void JalaliMonthView::setAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    applyAutoSize();
    emit settingsChanged();
}

bool JalaliMonthView::inLimits(SerialDate value) const
{
    return !(minDate_ != 0 && value < minDate_) && !(maxDate_ != 0 && value > maxDate_);
}

SerialDate JalaliMonthView::clamp(SerialDate value) const
{
    if (minDate_ != 0 && value < minDate_)
        value = minDate_;
    if (maxDate_ != 0 && value > maxDate_)
        value = maxDate_;
    return value;
}

bool JalaliMonthView::canChoose(int index) const
{
    if (index < 0 || index >= kCells)
        return false;
    const SerialDate d = cellDate(index);
    if (!hasJalaliDate(d) || !inLimits(d))
        return false;
    return (d >= firstDay_ && d <= lastDay_) || (options_ & mcoSelectTrailDays);
}

void JalaliMonthView::moveTo(SerialDate value, bool chosen)
{
    value = clamp(wholeDay(value));
    if (!hasJalaliDate(value))
        return;
    const bool changed = value != date_;
    date_ = value;
    if (value < firstDay_ || value > lastDay_)
        showMonth();
    else
        update();
    if (changed)
        emit dateChanged(date_);
    if (chosen)
        emit dateChosen();
}

void JalaliMonthView::beginSetup()
{
    ++setupDepth_;
}

void JalaliMonthView::endSetup()
{
    if (setupDepth_ > 0 && --setupDepth_ == 0) {
        monthPending_ = false;
        showMonth();
    }
}

void JalaliMonthView::showMonth()
{
    quint16 y = 0, m = 0, d = 0;
    DecodeJalaliDate(date_, y, m, d);
    year_ = y;
    month_ = m;
    const int length = JalaliDaysInMonth(y, m);
    firstDay_ = EncodeJalaliDate(y, m, 1);
    lastDay_ = firstDay_ + length - 1;
    // The first row always holds a day of the previous month.
    const int weekday = JalaliDayOfWeek(firstDay_);
    firstCell_ = firstDay_ - (weekday - 1) - (weekday == 1 ? 7 : 0);
    if (setupDepth_ > 0) {
        monthPending_ = true;
        update();
        return;
    }
    quint32 mask = 0;
    if (defaultBoldDays_ != dbdNone) {
        for (int day = 1; day <= length; ++day)
            if (JalaliDayOfWeek(firstDay_ + day - 1) == int(defaultBoldDays_) + 1)
                mask |= 1u << (day - 1);
    }
    emit onGetMonthInfo(year_, month_, mask);
    boldDays_ = mask;
    update();
}

void JalaliMonthView::beep()
{
    QApplication::beep();
    emit refused();
}

void JalaliMonthView::nextMonth()
{
    if (maxDate_ != 0) {
        quint16 y = 0, m = 0, d = 0;
        DecodeJalaliDate(maxDate_, y, m, d);
        if (EncodeJalaliDate(y, m, 1) <= date_) {
            beep();
            return;
        }
    }
    try {
        moveTo(IncJalaliMonth(date_, 1));
    } catch (const ConversionError&) {
        beep();
    }
}

void JalaliMonthView::previousMonth()
{
    if (minDate_ != 0) {
        quint16 y = 0, m = 0, d = 0;
        DecodeJalaliDate(minDate_, y, m, d);
        if (dateIn(y, m, 31) >= date_) {
            beep();
            return;
        }
    }
    try {
        moveTo(IncJalaliMonth(date_, -1));
    } catch (const ConversionError&) {
        beep();
    }
}

void JalaliMonthView::chooseMonth(int month)
{
    if (month < 1 || month > 12 || month == month_)
        return;
    const SerialDate first = EncodeJalaliDate(year_, quint16(month), 1);
    const SerialDate last = dateIn(year_, month, 31);
    if ((minDate_ != 0 && last < minDate_) || (maxDate_ != 0 && first > maxDate_)) {
        beep();
        return;
    }
    quint16 y = 0, m = 0, d = 0;
    DecodeJalaliDate(date_, y, m, d);
    moveTo(dateIn(year_, month, d));
}

void JalaliMonthView::goToday()
{
    const SerialDate today = Today();
    if (!inLimits(today) || !hasJalaliDate(today)) {
        beep();
        return;
    }
    moveTo(today, true);
}

void JalaliMonthView::showMonthMenu()
{
    if (!monthMenu_) {
        monthMenu_ = new QMenu(this);
        for (int m = 1; m <= 12; ++m) {
            QAction* action = monthMenu_->addAction(JalaliLongMonthNames[m]);
            action->setData(m);
        }
        connect(monthMenu_, &QMenu::triggered, this,
                [this](QAction* action) { chooseMonth(action->data().toInt()); });
    }
    monthMenu_->setLayoutDirection(Qt::RightToLeft);
    monthMenu_->setFont(font());
    const QRect r = monthNameRect();
    // A right-to-left menu is placed by its right edge.
    const QPoint at = mapToGlobal(QPoint(isRightToLeft() ? r.right() : r.left(), r.bottom() + 1));
    monthMenu_->popup(at);
}

void JalaliMonthView::showYearEditor()
{
    const quint16 low = minDate_ != 0 ? yearOf(minDate_) : 1201;
    const quint16 high = maxDate_ != 0 ? yearOf(maxDate_) : 9999;
    yearEdit_->setRange(low, std::max(low, high));
    yearEdit_->setValue(year_);
    QFont bold = font();
    bold.setBold(true);
    yearEdit_->setFont(bold);
    yearEdit_->setLayoutDirection(layoutDirection());
    QPalette pal = yearEdit_->palette();
    const QColor back = colors_->color(MonthViewColors::TitleText, palette());
    const QColor text = colors_->color(MonthViewColors::TitleBack, palette());
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, back);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(role, text);
    yearEdit_->setPalette(pal);
    yearEdit_->lineEdit()->setPalette(pal);

    const QFontMetrics fm(bold);
    const QRect year = yearRect();
    const int editWidth = int(std::ceil(1.125 * fm.horizontalAdvance(QString::number(year_))));
    const int height = int(std::ceil(1.125 * fm.height()));
    // The spin button's width, whatever the style makes of it at this height.
    yearEdit_->resize(editWidth + 40, height);
    QStyleOptionSpinBox option;
    option.initFrom(yearEdit_);
    option.rect = yearEdit_->rect();
    option.frame = false;
    option.subControls = QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp;
    const QRect field = style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                QStyle::SC_SpinBoxEditField, yearEdit_);
    const int buttons = std::max(0, option.rect.width() - field.width());
    yearEdit_->resize(editWidth + buttons, height);
    // The edit part sits over the year; the spin button hangs off its end side.
    const int editLeft = year.center().x() - editWidth / 2;
    const int left = isRightToLeft() ? editLeft - buttons : editLeft;
    yearEdit_->move(left, year.center().y() - height / 2);
    yearEdit_->show();
    yearEdit_->raise();
    yearEdit_->setFocus(Qt::OtherFocusReason);
}

void JalaliMonthView::onYearEditFinished(bool apply, int year)
{
    if (apply && year != year_) {
        quint16 y = 0, m = 0, d = 0;
        DecodeJalaliDate(date_, y, m, d);
        if (year >= 1 && year <= 9999)
            moveTo(dateIn(year, m, d));
    }
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::OtherFocusReason);
    update();
}

bool JalaliMonthView::handleKey(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int index = int(date_ - firstCell_);
    auto moveCell = [&](int to) {
        if (to >= 0 && to < kCells)
            moveTo(cellDate(to));
    };
    auto moveMonths = [&](int months) {
        try {
            moveTo(IncJalaliMonth(date_, months));
        } catch (const ConversionError&) {
            // The first or last year of the calendar: there is no month to go to.
        }
    };
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool forward = (event->key() == Qt::Key_Right) != isRightToLeft();
        moveCell(index + (forward ? 1 : -1));
        return true;
    }
    case Qt::Key_Up:
        moveCell(index - 7);
        return true;
    case Qt::Key_Down:
        moveCell(index + 7);
        return true;
    case Qt::Key_PageUp:
        moveMonths(ctrl ? -12 : -1);
        return true;
    case Qt::Key_PageDown:
        moveMonths(ctrl ? 12 : 1);
        return true;
    case Qt::Key_Home:
        moveTo(ctrl ? EncodeJalaliDate(year_, 1, 1) : firstDay_);
        return true;
    case Qt::Key_End:
        moveTo(ctrl ? dateIn(year_, 12, 31) : lastDay_);
        return true;
    case Qt::Key_Space:
        if (!ctrl)
            return false;
        if (hasJalaliDate(Today()))
            moveTo(Today());
        return true;
    default:
        return false;
    }
}

void JalaliMonthView::handleWheel(QWheelEvent* event)
{
    QPoint delta = event->angleDelta();
    const int steps = (delta.y() != 0 ? delta.y() : delta.x()) + wheelRemainder_;
    wheelRemainder_ = steps % 120;
    const int notches = steps / 120;
    event->accept();
    if (notches == 0)
        return;
    const int months = (event->modifiers() & Qt::ControlModifier) ? 12 : 1;
    try {
        // Turning the wheel down goes forward.
        moveTo(IncJalaliMonth(date_, -notches * months));
    } catch (const ConversionError&) {
    }
}

// ---------------------------------------------------------------------------------------
// Geometry

JalaliMonthView::Metrics JalaliMonthView::metrics() const
{
    Metrics m;
    m.cols = columnCount();
    m.rows = rowCount();
    m.cw = double(width()) / m.cols;
    m.rh = double(height()) / m.rows;
    return m;
}

int JalaliMonthView::columnCount() const
{
    return 7 + ((options_ & mcoWeekNumbers) ? 1 : 0);
}

int JalaliMonthView::rowCount() const
{
    return kTitleRows + 1 + 6 + ((options_ & mcoToday) ? 1 : 0);
}

QRect JalaliMonthView::columnRect(int logicalColumn, int row, int rowSpan) const
{
    const Metrics m = metrics();
    const int physical = isRightToLeft() ? m.cols - 1 - logicalColumn : logicalColumn;
    const int x0 = int(std::lround(physical * m.cw));
    const int x1 = int(std::lround((physical + 1) * m.cw));
    const int y0 = int(std::lround(row * m.rh));
    const int y1 = int(std::lround((row + rowSpan) * m.rh));
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

int JalaliMonthView::dayColumn(int weekdayIndex) const
{
    return weekdayIndex + ((options_ & mcoWeekNumbers) ? 1 : 0);
}

QRect JalaliMonthView::cellRect(int index) const
{
    if (index < 0 || index >= kCells)
        return {};
    return columnRect(dayColumn(index % 7), kFirstWeekRow + index / 7);
}

QRect JalaliMonthView::weekNumberRect(int row) const
{
    if (!(options_ & mcoWeekNumbers) || row < 0 || row > 5)
        return {};
    return columnRect(0, kFirstWeekRow + row);
}

QRect JalaliMonthView::dayNameRect(int weekday) const
{
    if (weekday < 1 || weekday > 7)
        return {};
    return columnRect(dayColumn(weekday - 1), kDayNameRow);
}

QRect JalaliMonthView::cornerRect() const
{
    if (!(options_ & mcoWeekNumbers))
        return {};
    return columnRect(0, kDayNameRow);
}

QRect JalaliMonthView::titleRect() const
{
    const int bottom = int(std::lround(kTitleRows * metrics().rh));
    return QRect(0, 0, width(), bottom);
}

QRect JalaliMonthView::leftButtonRect() const
{
    if (!(options_ & mcoMonthButtons))
        return {};
    return QRect(kButtonMargin, kButtonMargin, kButtonWidth, kButtonHeight);
}

QRect JalaliMonthView::rightButtonRect() const
{
    if (!(options_ & mcoMonthButtons))
        return {};
    return QRect(width() - kButtonMargin - kButtonWidth, kButtonMargin, kButtonWidth,
                 kButtonHeight);
}

namespace {
struct TitleParts
{
    QRect month;
    QRect year;
};

TitleParts titleParts(const QFont& font, const QRect& title, bool rtl, const QString& month,
                      const QString& year)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const int wm = fm.horizontalAdvance(month);
    const int ws = fm.horizontalAdvance(u' ');
    const int wy = fm.horizontalAdvance(year);
    const QRect inner = title.adjusted(kTitleInset, 0, -kTitleInset, 0);
    const int total = wm + ws + wy;
    const int x0 = inner.left() + (inner.width() - total) / 2;
    const int h = fm.height();
    const int y = title.top() + (title.height() - h) / 2;
    TitleParts parts;
    if (rtl) {
        parts.year = QRect(x0, y, wy, h);
        parts.month = QRect(x0 + wy + ws, y, wm, h);
    } else {
        parts.month = QRect(x0, y, wm, h);
        parts.year = QRect(x0 + wm + ws, y, wy, h);
    }
    return parts;
}
} // namespace

QRect JalaliMonthView::monthNameRect() const
{
    return titleParts(font(), titleRect(), isRightToLeft(), JalaliLongMonthNames[month_ % 13],
                      QString::number(year_))
        .month;
}

QRect JalaliMonthView::yearRect() const
{
    return titleParts(font(), titleRect(), isRightToLeft(), JalaliLongMonthNames[month_ % 13],
                      QString::number(year_))
        .year;
}

QRect JalaliMonthView::todayLineRect() const
{
    if (!(options_ & mcoToday))
        return {};
    const int row = rowCount() - 1;
    const int y0 = int(std::lround(row * metrics().rh));
    return QRect(0, y0, width(), height() - y0);
}

JalaliMonthView::Hit JalaliMonthView::hitTest(const QPoint& pos) const
{
    Hit hit;
    if (!rect().contains(pos))
        return hit;
    if (todayLineRect().contains(pos)) {
        hit.part = Part::TodayLine;
        return hit;
    }
    if (titleRect().contains(pos)) {
        hit.part = Part::Title;
        if (leftButtonRect().contains(pos))
            hit.part = Part::LeftButton;
        else if (rightButtonRect().contains(pos))
            hit.part = Part::RightButton;
        else if (monthNameRect().contains(pos))
            hit.part = Part::MonthName;
        else if (yearRect().contains(pos))
            hit.part = Part::Year;
        return hit;
    }
    const Metrics m = metrics();
    const int row = std::clamp(int(pos.y() / m.rh), 0, m.rows - 1);
    const int physical = std::clamp(int(pos.x() / m.cw), 0, m.cols - 1);
    const int logical = isRightToLeft() ? m.cols - 1 - physical : physical;
    const bool weekColumn = (options_ & mcoWeekNumbers) && logical == 0;
    const int weekdayIndex = logical - ((options_ & mcoWeekNumbers) ? 1 : 0);
    if (row == kDayNameRow) {
        hit.part = weekColumn ? Part::Nothing : Part::DayName;
        hit.cell = weekColumn ? -1 : weekdayIndex;
        return hit;
    }
    if (row >= kFirstWeekRow && row < kFirstWeekRow + 6) {
        if (weekColumn) {
            hit.part = Part::WeekNumber;
            hit.cell = row - kFirstWeekRow;
        } else {
            hit.part = Part::Day;
            hit.cell = (row - kFirstWeekRow) * 7 + weekdayIndex;
        }
    }
    return hit;
}

QString JalaliMonthView::dayNameText(int weekday) const
{
    if (weekday < 1 || weekday > 7)
        return {};
    // The long names need a clear gap between neighbours, or they read as one run of words.
    const QFontMetrics fm(font());
    int widest = 0;
    for (int d = 1; d <= 7; ++d)
        widest = std::max(widest, fm.horizontalAdvance(JalaliLongDayNames[d]));
    const int gap = 2 * fm.horizontalAdvance(u' ');
    return widest + gap <= dayNameRect(1).width() ? JalaliLongDayNames[weekday]
                                                  : JalaliShortDayNames[weekday];
}

QSize JalaliMonthView::sizeHint() const
{
    const QFontMetrics fm(font());
    int widest = 0;
    for (int d = 1; d <= 7; ++d)
        widest = std::max(widest, fm.horizontalAdvance(JalaliLongDayNames[d]));
    const int rowHeight = int(std::floor(1.2 * fm.height()));
    const int columnWidth = int(std::floor(1.05 * widest));
    return QSize(columnCount() * columnWidth, rowCount() * rowHeight);
}

QSize JalaliMonthView::minimumSizeHint() const
{
    return autoSize_ ? sizeHint() : QSize(2 * (kButtonMargin + kButtonWidth) + 8, rowCount() * 4);
}

void JalaliMonthView::applyAutoSize()
{
    if (!autoSize_)
        return;
    updateGeometry();
    resize(sizeHint());
}

// ---------------------------------------------------------------------------------------
// Events

void JalaliMonthView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // A click anywhere but on the editor applies its year first.
    yearEdit_->finish(true);
    const Hit hit = hitTest(event->position().toPoint());
    switch (hit.part) {
    case Part::LeftButton:
        isRightToLeft() ? nextMonth() : previousMonth();
        break;
    case Part::RightButton:
        isRightToLeft() ? previousMonth() : nextMonth();
        break;
    case Part::MonthName:
        if (options_ & mcoMonthPopupMenu)
            showMonthMenu();
        break;
    case Part::Year:
        if (options_ & mcoYearEditor)
            showYearEditor();
        break;
    case Part::Day:
        if (canChoose(hit.cell))
            moveTo(cellDate(hit.cell), true);
        break;
    case Part::TodayLine:
        goToday();
        break;
    default:
        break;
    }
}

void JalaliMonthView::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void JalaliMonthView::wheelEvent(QWheelEvent* event)
{
    handleWheel(event);
}

void JalaliMonthView::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        applyAutoSize();
        update();
        break;
    case QEvent::LayoutDirectionChange:
        yearEdit_->finish(true);
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void JalaliMonthView::resizeEvent(QResizeEvent* event)
{
    yearEdit_->finish(true);
    QWidget::resizeEvent(event);
}

void JalaliMonthView::hideEvent(QHideEvent* event)
{
    // A calendar put away (the drop-down closing) leaves no editor or menu behind.
    yearEdit_->finish(false);
    if (monthMenu_)
        monthMenu_->close();
    QWidget::hideEvent(event);
}

// ---------------------------------------------------------------------------------------
// Painting

void JalaliMonthView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setLayoutDirection(layoutDirection());
    p.fillRect(rect(), colors_->color(MonthViewColors::MonthBack, palette()));
    paintTitle(p);
    paintGrid(p);
    paintLines(p);
    if (options_ & mcoToday)
        paintTodayLine(p);
}

namespace {
void paintArrow(QPainter& p, const QRect& r, bool pointsLeft, const QColor& color)
{
    const QPointF c = QRectF(r).center();
    const qreal h = 4.0;
    QPainterPath path;
    if (pointsLeft) {
        path.moveTo(c.x() - h / 2 - 1, c.y());
        path.lineTo(c.x() + h / 2, c.y() - h);
        path.lineTo(c.x() + h / 2, c.y() + h);
    } else {
        path.moveTo(c.x() + h / 2 + 1, c.y());
        path.lineTo(c.x() - h / 2, c.y() - h);
        path.lineTo(c.x() - h / 2, c.y() + h);
    }
    path.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}
} // namespace

void JalaliMonthView::paintTitle(QPainter& p)
{
    const QPalette& pal = palette();
    const QRect title = titleRect();
    p.fillRect(title, colors_->color(MonthViewColors::TitleBack, pal));
    if (options_ & mcoMonthButtons) {
        // Flat buttons on the title: a button face under a triangle in the button's text
        // colour (black on a light theme), greyed when off.
        const QColor arrow =
            pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
        for (const QRect& r : {leftButtonRect(), rightButtonRect()}) {
            p.fillRect(r, pal.color(QPalette::Button));
            p.setPen(pal.color(QPalette::Mid));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        paintArrow(p, leftButtonRect(), true, arrow);
        paintArrow(p, rightButtonRect(), false, arrow);
    }
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(colors_->color(MonthViewColors::TitleText, pal));
    p.drawText(monthNameRect(), Qt::AlignCenter, JalaliLongMonthNames[month_ % 13]);
    p.drawText(yearRect(), Qt::AlignCenter, QString::number(year_));
    p.setFont(font());
}

void JalaliMonthView::paintGrid(QPainter& p)
{
    const QPalette& pal = palette();
    const QColor fixedText = colors_->color(MonthViewColors::FixedText, pal);
    const QColor text = colors_->color(MonthViewColors::Text, pal);
    const QColor trailing = colors_->color(MonthViewColors::TrailingText, pal);
    const QColor boldColor = colors_->color(MonthViewColors::BoldDays, pal);
    const QColor titleBack = colors_->color(MonthViewColors::TitleBack, pal);
    const QColor titleText = colors_->color(MonthViewColors::TitleText, pal);
    const QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);

    p.setPen(fixedText);
    for (int d = 1; d <= 7; ++d)
        p.drawText(dayNameRect(d), Qt::AlignCenter, dayNameText(d));
    if (options_ & mcoWeekNumbers) {
        p.drawText(cornerRect(), Qt::AlignCenter, kWeekCaption);
        for (int row = 0; row < 6; ++row) {
            const SerialDate saturday = cellDate(row * 7);
            if (!hasJalaliDate(saturday))
                continue;
            try {
                p.drawText(weekNumberRect(row), Qt::AlignCenter,
                           QString::number(JalaliWeekOfYear(0, saturday)));
            } catch (const ConversionError&) {
                // A week that reaches outside the calendar's years has no number.
            }
        }
    }

    const SerialDate today = Today();
    for (int i = 0; i < kCells; ++i) {
        const SerialDate d = cellDate(i);
        if (!hasJalaliDate(d))
            continue;
        const bool inMonth = d >= firstDay_ && d <= lastDay_;
        if (!inMonth && !(options_ & mcoTrailingDays))
            continue;
        const QRect r = cellRect(i);
        quint16 y = 0, m = 0, day = 0;
        DecodeJalaliDate(d, y, m, day);
        const bool isBold = inMonth && (boldDays_ & (1u << (day - 1)));
        QColor color = inMonth ? text : trailing;
        if (isBold && boldColor.isValid())
            color = boldColor;
        if (d == date_) {
            p.fillRect(r, titleBack);
            color = titleText;
        }
        p.setFont(isBold ? bold : normal);
        p.setPen(color);
        p.drawText(r, Qt::AlignCenter, QString::number(day));
        if (d == date_ && (hasFocus() || window()->windowType() == Qt::Popup)) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = r.adjusted(1, 1, -1, -1);
            option.backgroundColor = titleBack;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
        if (d == today && inMonth && (options_ & mcoTodayCircle)) {
            // A hand-drawn look: one long arc and a short one crossing its open end.
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(colors_->color(MonthViewColors::Circle, pal), 2));
            p.setBrush(Qt::NoBrush);
            const QRectF e = QRectF(r).adjusted(2, 1.5, -2, -1.5);
            p.drawArc(e, 100 * 16, 320 * 16);
            p.drawArc(e.adjusted(-1, -1, 1, 0), 40 * 16, 90 * 16);
            p.restore();
        }
    }
    p.setFont(normal);
}

void JalaliMonthView::paintLines(QPainter& p)
{
    const Metrics m = metrics();
    p.setPen(QPen(colors_->color(MonthViewColors::Lines, palette()), 1));
    auto rowY = [&](int row) { return int(std::lround(row * m.rh)); };
    const bool weeks = options_ & mcoWeekNumbers;
    const int firstDayCol = weeks ? 1 : 0;
    // Under the weekday names.
    p.drawLine(0, rowY(kDayNameRow + 1) - 1, width() - 1, rowY(kDayNameRow + 1) - 1);
    auto boundaryX = [&](int logicalColumn) {
        // The edge between logicalColumn - 1 and logicalColumn, physically.
        const QRect r = columnRect(logicalColumn, 0);
        return isRightToLeft() ? r.right() + 1 : r.left();
    };
    if (weeks) {
        const int x = boundaryX(1) - (isRightToLeft() ? 0 : 1);
        p.drawLine(x, rowY(kDayNameRow), x, rowY(kFirstWeekRow + 6) - 1);
    }
    if (options_ & (mcoDaysVertLine | mcoVerticalLine)) {
        for (int c = firstDayCol + 1; c < m.cols; ++c) {
            const int x = boundaryX(c) - (isRightToLeft() ? 0 : 1);
            if (options_ & mcoDaysVertLine)
                p.drawLine(x, rowY(kDayNameRow), x, rowY(kDayNameRow + 1) - 1);
            if (options_ & mcoVerticalLine)
                p.drawLine(x, rowY(kFirstWeekRow), x, rowY(kFirstWeekRow + 6) - 1);
        }
    }
    if (options_ & (mcoWeeksHorzLine | mcoHorizontalLine)) {
        const QRect weekCol = weeks ? columnRect(0, 0) : QRect();
        const QRect firstDay = columnRect(firstDayCol, 0);
        const QRect lastDay = columnRect(m.cols - 1, 0);
        const int dayLeft = std::min(firstDay.left(), lastDay.left());
        const int dayRight = std::max(firstDay.right(), lastDay.right());
        for (int row = kFirstWeekRow + 1; row < kFirstWeekRow + 6; ++row) {
            const int y = rowY(row) - 1;
            if ((options_ & mcoWeeksHorzLine) && weeks)
                p.drawLine(weekCol.left(), y, weekCol.right(), y);
            if (options_ & mcoHorizontalLine)
                p.drawLine(dayLeft, y, dayRight, y);
        }
    }
}

void JalaliMonthView::paintTodayLine(QPainter& p)
{
    const QRect line = todayLineRect();
    const int columnWidth = int(metrics().cw);
    const bool rtl = isRightToLeft();
    const QRect circleSpace =
        rtl ? QRect(line.right() - columnWidth + 1, line.top(), columnWidth, line.height())
            : QRect(line.left(), line.top(), columnWidth, line.height());
    const int diameter = std::max(4, std::min(circleSpace.width(), circleSpace.height()) / 2);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colors_->color(MonthViewColors::Circle, palette()), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(circleSpace.center().x() - diameter / 2.0 + 0.5,
                         circleSpace.center().y() - diameter / 2.0 + 0.5, diameter, diameter));
    p.restore();

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(colors_->color(MonthViewColors::Text, palette()));
    const QRect textRect =
        rtl ? line.adjusted(0, 0, -columnWidth, 0) : line.adjusted(columnWidth, 0, 0, 0);
    const SerialDate today = Today();
    const QString text =
        kTodayCaption + (hasJalaliDate(today) ? JalaliDateToStr(today) : QString());
    p.drawText(textRect,
               Qt::AlignVCenter | Qt::AlignAbsolute | (rtl ? Qt::AlignRight : Qt::AlignLeft), text);
    p.setFont(font());
}
