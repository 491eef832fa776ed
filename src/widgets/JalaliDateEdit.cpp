#include "widgets/JalaliDateEdit.h"

#include "core/calendar/JalaliFormat.h"
#include "core/calendar/Today.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBlockMargin = 3;
constexpr int kFirstYear = 1200;
constexpr int kLastYear = 9999;

bool hasJalaliDate(SerialDate value)
{
    const qint64 day = DayNumberOf(value);
    return day >= kFirstJalaliDay && day <= kLastJalaliDay;
}

int digitOf(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return -1;
    if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
        return event->key() - Qt::Key_0;
    // Persian and Arabic-Indic digits from a right-to-left keyboard layout.
    if (event->key() > 0x7f && event->key() < 0x10000 && QChar(event->key()).isDigit())
        return QChar(event->key()).digitValue();
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isDigit())
        return text.at(0).digitValue();
    return -1;
}

int yearWindow()
{
    return CurrentJalaliFormatSettings().twoDigitYearCenturyWindow;
}

QString limitText(SerialDate limit)
{
    return JalaliDateToStr(limit);
}

} // namespace

// ---------------------------------------------------------------------------------------

JalaliDateEdit::JalaliDateEdit(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_KeyCompression, false);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const SerialDate today = Today();
    setParts(partsOf(hasJalaliDate(today) ? today : EncodeJalaliDate(1391, 1, 1)));
    resize(121, 21);
    applyAutoSize();
}

JalaliDateEdit::~JalaliDateEdit() = default;

JalaliDateEdit::Parts JalaliDateEdit::partsOf(SerialDate value) const
{
    Parts p;
    DecodeJalaliDate(value, p.year, p.month, p.day);
    return p;
}

SerialDate JalaliDateEdit::encodeParts(const Parts& p) const
{
    SerialDate value = 0;
    TryEncodeJalaliDate(p.year, p.month, p.day, value);
    return value;
}

void JalaliDateEdit::setParts(const Parts& p)
{
    year_ = p.year;
    month_ = p.month;
    day_ = p.day;
}

SerialDate JalaliDateEdit::Date() const
{
    return encodeParts(typing_ ? preTyping_ : parts());
}

bool JalaliDateEdit::inLimits(SerialDate value) const
{
    return !(minDate_ != 0 && value < minDate_) && !(maxDate_ != 0 && value > maxDate_);
}

void JalaliDateEdit::setDate(SerialDate value)
{
    if (!std::isfinite(value))
        throw DateTimeError(u"Invalid argument to date encode"_s);
    value = SerialDate(DayNumberOf(value));
    if (maxDate_ != 0 && value > maxDate_)
        throw DateTimeError(u"Date exceeds maximum of %1"_s.arg(limitText(maxDate_)));
    if (minDate_ != 0 && value < minDate_)
        throw DateTimeError(u"Date is less than minimum of %1"_s.arg(limitText(minDate_)));
    if (!hasJalaliDate(value))
        throw DateTimeError(u"Invalid argument to date encode"_s);
    const Parts before = typing_ ? preTyping_ : parts();
    typing_ = false;
    previousDigit_ = -1;
    setParts(partsOf(value));
    update();
    noteDateChange(before, true);
}

void JalaliDateEdit::setMinDate(SerialDate value)
{
    value = std::isfinite(value) ? SerialDate(DayNumberOf(value)) : 0;
    if (value == minDate_)
        return;
    if (value != 0 && maxDate_ != 0 && value > maxDate_)
        throw DateTimeError(u"Date exceeds maximum of %1"_s.arg(limitText(maxDate_)));
    endEdit();
    minDate_ = value;
    if (value != 0)
        clampAndNotify(parts());
    emit settingsChanged();
}

void JalaliDateEdit::setMaxDate(SerialDate value)
{
    value = std::isfinite(value) ? SerialDate(DayNumberOf(value)) : 0;
    if (value == maxDate_)
        return;
    if (value != 0 && minDate_ != 0 && value < minDate_)
        throw DateTimeError(u"Date is less than minimum of %1"_s.arg(limitText(minDate_)));
    endEdit();
    maxDate_ = value;
    if (value != 0)
        clampAndNotify(parts());
    emit settingsChanged();
}

void JalaliDateEdit::setAllowNull(bool on)
{
    if (on == allowNull_)
        return;
    allowNull_ = on;
    emit settingsChanged();
}

void JalaliDateEdit::setIsNull(bool on)
{
    if (on == isNull_)
        return;
    isNull_ = on;
    update();
    emit settingsChanged();
}

void JalaliDateEdit::setAlignment(Qt::Alignment alignment)
{
    alignment &= Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
    if (alignment != Qt::AlignLeft && alignment != Qt::AlignRight)
        alignment = Qt::AlignHCenter;
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
    emit settingsChanged();
}

void JalaliDateEdit::setAutoMove(bool on)
{
    if (on == autoMove_)
        return;
    autoMove_ = on;
    emit settingsChanged();
}

void JalaliDateEdit::setAutoMoveDirection(AutoMoveDirection direction)
{
    autoMoveDirection_ = direction;
    activePart_ = direction == amdYMD ? 0 : 2;
    update();
    emit settingsChanged();
}

void JalaliDateEdit::setAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    setSizePolicy(QSizePolicy::Preferred, on ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    applyAutoSize();
    emit settingsChanged();
}

void JalaliDateEdit::setReadOnly(bool on)
{
    if (on == readOnly_)
        return;
    endEdit();
    readOnly_ = on;
    update();
    emit settingsChanged();
}

void JalaliDateEdit::setUseCurrentDate(bool on)
{
    if (on == useCurrentDate_)
        return;
    useCurrentDate_ = on;
    if (on && hasJalaliDate(Today())) {
        endEdit();
        const Parts before = parts();
        setParts(partsOf(Today()));
        clampAndNotify(before);
    }
    emit settingsChanged();
}

void JalaliDateEdit::setActivePart(int part)
{
    if (part < 0 || part > 2 || part == activePart_)
        return;
    activePart_ = part;
    update();
}

bool JalaliDateEdit::editable() const
{
    return !readOnly_ && isEnabled();
}

bool JalaliDateEdit::greyed() const
{
    return !isEnabled();
}

// ---------------------------------------------------------------------------------------
// Date changes

void JalaliDateEdit::noteDateChange(const Parts& before, bool notify)
{
    if (parts() == before)
        return;
    update();
    isNull_ = false;
    if (notify)
        emit dateChanged();
}

void JalaliDateEdit::clampAndNotify(const Parts& before)
{
    SerialDate value = encodeParts(parts());
    if (minDate_ != 0 && value < minDate_)
        value = minDate_;
    if (maxDate_ != 0 && value > maxDate_)
        value = maxDate_;
    setParts(partsOf(value));
    noteDateChange(before, true);
}

void JalaliDateEdit::stepPart(int delta)
{
    switch (activePart_) {
    case 0: {
        int y = year_ + delta;
        if (y > kLastYear)
            y = kFirstYear;
        else if (y < kFirstYear)
            y = kLastYear;
        year_ = quint16(y);
        // Esfand is the one month whose length follows the year.
        if (month_ == 12)
            day_ = std::min(day_, JalaliDaysInMonth(year_, month_));
        break;
    }
    case 1: {
        int m = month_ + delta;
        if (m > 12)
            m = 1;
        else if (m < 1)
            m = 12;
        month_ = quint16(m);
        day_ = std::min(day_, JalaliDaysInMonth(year_, month_));
        break;
    }
    default: {
        const int length = JalaliDaysInMonth(year_, month_);
        int d = day_ + delta;
        if (d > length)
            d = 1;
        else if (d < 1)
            d = length;
        day_ = quint16(d);
        break;
    }
    }
}

void JalaliDateEdit::addDays(int days)
{
    const SerialDate value = encodeParts(parts()) + days;
    if (hasJalaliDate(value))
        setParts(partsOf(value));
}

void JalaliDateEdit::setToday()
{
    const SerialDate today = Today();
    if (!hasJalaliDate(today))
        return;
    const Parts before = parts();
    const bool wasNull = isNull_;
    setParts(partsOf(today));
    SerialDate value = encodeParts(parts());
    if (minDate_ != 0 && value < minDate_)
        value = minDate_;
    if (maxDate_ != 0 && value > maxDate_)
        value = maxDate_;
    setParts(partsOf(value));
    if (wasNull && parts() == before) {
        // Today is the date behind the blank: the blank still ends, and says so.
        isNull_ = false;
        update();
        emit dateChanged();
        return;
    }
    noteDateChange(before, true);
}

void JalaliDateEdit::nullify()
{
    isNull_ = true;
    update();
    emit dateChanged();
}

void JalaliDateEdit::copyToClipboard()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(JalaliDateToStr(Date()));
}

void JalaliDateEdit::pasteFromClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    SerialDate value = 0;
    try {
        value = StrToJalaliDate(clipboard->text());
    } catch (const ConversionError&) {
        return;
    }
    if (!inLimits(value) || !hasJalaliDate(value))
        return;
    if (value != Date()) {
        setDate(value);
        return;
    }
    isNull_ = false;
    update();
    emit dateChanged();
}

// ---------------------------------------------------------------------------------------
// Typing

void JalaliDateEdit::typeDigit(int digit)
{
    if (!typing_) {
        preTyping_ = parts();
        typing_ = true;
        previousDigit_ = -1;
    }
    const int previous = previousDigit_;
    bool complete = false;
    auto typeInto = [&](quint16& value, int last, int completeAbove) {
        const int joined = value * 10 + digit;
        bool leadingZero = false;
        if (previous >= 1 && previous <= 9 && joined >= 1 && joined <= last)
            value = quint16(joined);
        else if (digit >= 1)
            value = quint16(digit);
        else
            leadingZero = true;
        // A 0 that starts a number waits for its second digit, whatever the part held.
        complete = !leadingZero && (value > completeAbove || previous == 0);
    };
    switch (activePart_) {
    case 0:
        year_ = year_ >= 1000 ? quint16(digit) : quint16(year_ * 10 + digit);
        complete = year_ > 999;
        break;
    case 1:
        typeInto(month_, 12, 1);
        break;
    default:
        typeInto(day_, JalaliDaysInMonth(year_, month_), 3);
        break;
    }
    previousDigit_ = digit;
    update();
    if (complete && endEdit()) {
        if (autoMove_)
            moveActive(autoMoveDirection_ == amdYMD);
        previousDigit_ = -1;
    }
}

bool JalaliDateEdit::endEdit()
{
    if (!typing_)
        return true;
    const int y = CurrentJalaliYear();
    const int w = yearWindow();
    int year = year_;
    if (year < 100) {
        year += ((y - w) / 100) * 100;
        if (w > 0 && year < y - w)
            year += 100;
    } else if (year < kFirstYear) {
        year = preTyping_.year;
    }
    year_ = quint16(std::clamp(year, 1, kLastYear));
    day_ = std::min(day_, JalaliDaysInMonth(year_, month_));
    bool accepted = true;
    SerialDate value = 0;
    if (!TryEncodeJalaliDate(year_, month_, day_, value) || !inLimits(value)) {
        setParts(preTyping_);
        accepted = false;
    }
    typing_ = false;
    update();
    noteDateChange(preTyping_, true);
    return accepted;
}

void JalaliDateEdit::moveActive(bool right)
{
    if (right)
        activePart_ = std::min(activePart_ + 1, 2);
    else
        activePart_ = std::max(activePart_ - 1, 0);
    update();
}

// ---------------------------------------------------------------------------------------
// Keys, mouse, focus

bool JalaliDateEdit::handleFieldKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool keypad = mods & Qt::KeypadModifier;
    const int key = event->key();
    endEdit();

    // What acts in a read-only (or unchecked) field.
    switch (key) {
    case Qt::Key_Left:
        activePart_ = activePart_ == 0 ? 2 : activePart_ - 1;
        update();
        return true;
    case Qt::Key_Right:
        activePart_ = activePart_ == 2 ? 0 : activePart_ + 1;
        update();
        return true;
    case Qt::Key_C:
        if (!ctrl)
            return false;
        copyToClipboard();
        return true;
    case Qt::Key_X:
        if (!ctrl)
            return false;
        copyToClipboard();
        if (!readOnly_ && allowNull_ && editable())
            nullify();
        return true;
    default:
        break;
    }

    const bool ours =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
        key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End ||
        key == Qt::Key_Delete || (key == Qt::Key_Space && ctrl) || (key == Qt::Key_V && ctrl) ||
        (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus || key == Qt::Key_Asterisk));
    if (!ours)
        return false;
    if (!editable())
        return true;

    const Parts before = parts();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Plus:
        stepPart(1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        stepPart(-1);
        break;
    case Qt::Key_PageUp:
        addDays(ctrl ? 7 : 1);
        break;
    case Qt::Key_PageDown:
        addDays(ctrl ? -7 : -1);
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool home = key == Qt::Key_Home;
        if (ctrl) {
            month_ = home ? 1 : 12;
            day_ = home ? 1 : JalaliDaysInMonth(year_, 12);
        } else if (activePart_ == 0) {
            const int first = CurrentJalaliYear() - yearWindow();
            year_ = quint16(std::clamp(home ? first : first + 99, 1, kLastYear));
            day_ = std::min(day_, JalaliDaysInMonth(year_, month_));
        } else if (activePart_ == 1) {
            month_ = home ? 1 : 12;
            day_ = std::min(day_, JalaliDaysInMonth(year_, month_));
        } else {
            day_ = home ? 1 : JalaliDaysInMonth(year_, month_);
        }
        break;
    }
    case Qt::Key_Space:
    case Qt::Key_Asterisk:
        setToday();
        return true;
    case Qt::Key_Delete:
        if (allowNull_ && !isNull_)
            nullify();
        return true;
    case Qt::Key_V:
        pasteFromClipboard();
        return true;
    default:
        break;
    }
    clampAndNotify(before);
    return true;
}

void JalaliDateEdit::keyPressEvent(QKeyEvent* event)
{
    const int digit = digitOf(event);
    if (digit >= 0) {
        if (editable())
            typeDigit(digit);
        event->accept();
        return;
    }
    if (handleFieldKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool JalaliDateEdit::event(QEvent* event)
{
    // Keys the field acts on are not to be taken by the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        if (digitOf(key) >= 0 || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Home ||
            key->key() == Qt::Key_End ||
            (ctrl && (key->key() == Qt::Key_C || key->key() == Qt::Key_V ||
                      key->key() == Qt::Key_X || key->key() == Qt::Key_Space))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void JalaliDateEdit::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        endEdit();
        if (textBand().contains(pos)) {
            for (int part = 0; part < 3; ++part) {
                const QRect r = partRect(part);
                if (pos.x() > r.left() && pos.x() < r.right() + 1) {
                    setActivePart(part);
                    break;
                }
            }
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::MiddleButton && hasFocus() && editable()) {
        endEdit();
        setToday();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void JalaliDateEdit::wheelEvent(QWheelEvent* event)
{
    if (!editable()) {
        event->ignore();
        return;
    }
    event->accept();
    endEdit();
    const QPoint delta = event->angleDelta();
    const int total = (delta.y() != 0 ? delta.y() : delta.x()) + wheelRemainder_;
    wheelRemainder_ = total % 120;
    const int notches = total / 120;
    if (notches == 0)
        return;
    const Parts before = parts();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier)
        addDays(7 * notches);
    else if (mods & Qt::ShiftModifier)
        addDays(notches);
    else
        for (int i = 0; i < std::abs(notches); ++i)
            stepPart(notches > 0 ? 1 : -1);
    clampAndNotify(before);
}

void JalaliDateEdit::focusInEvent(QFocusEvent* event)
{
    // Coming back from the drop-down or a menu is not a new visit.
    if (autoMove_ && event->reason() != Qt::PopupFocusReason)
        activePart_ = autoMoveDirection_ == amdYMD ? 0 : 2;
    update();
    QWidget::focusInEvent(event);
}

void JalaliDateEdit::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::PopupFocusReason)
        endEdit();
    update();
    QWidget::focusOutEvent(event);
}

void JalaliDateEdit::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
        applyAutoSize();
        update();
        break;
    case QEvent::EnabledChange:
        endEdit();
        update();
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Layout and painting

int JalaliDateEdit::frameWidth() const
{
    return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}

JalaliDateEdit::BlockMetrics JalaliDateEdit::blockMetrics() const
{
    const QFontMetrics fm(font());
    BlockMetrics m;
    for (int n = 0; n <= 99; n += 11)
        m.numberWidth = std::max(m.numberWidth, fm.horizontalAdvance(QString::number(n)));
    m.numberWidth += 2;
    m.slashWidth = fm.horizontalAdvance(u'/');
    return m;
}

QRect JalaliDateEdit::contentRect() const
{
    const int f = frameWidth();
    return rect().adjusted(f, f, -f, -f);
}

QRect JalaliDateEdit::textBand() const
{
    const BlockMetrics m = blockMetrics();
    const int blockWidth = 4 * m.numberWidth + 2 * m.slashWidth;
    const QRect area = contentRect();
    Qt::Alignment align = alignment_;
    // Left and right mean the start and the end of the reading direction.
    if (isRightToLeft() && align != Qt::AlignHCenter)
        align = align == Qt::AlignLeft ? Qt::AlignRight : Qt::AlignLeft;
    int x = 0;
    if (align == Qt::AlignLeft)
        x = area.left() + kBlockMargin;
    else if (align == Qt::AlignRight)
        x = area.right() + 1 - kBlockMargin - blockWidth;
    else
        x = area.left() + (area.width() - blockWidth) / 2;
    const int h = QFontMetrics(font()).height();
    const int y = (height() - h) / 2;
    return QRect(x, y, blockWidth, h);
}

QRect JalaliDateEdit::partRect(int part) const
{
    const BlockMetrics m = blockMetrics();
    const QRect band = textBand();
    const int W = m.numberWidth;
    const int S = m.slashWidth;
    switch (part) {
    case 0:
        return QRect(band.left(), band.top(), 2 * W, band.height());
    case 1:
        return QRect(band.left() + 2 * W + S, band.top(), W, band.height());
    case 2:
        return QRect(band.left() + 3 * W + 2 * S, band.top(), W, band.height());
    default:
        return {};
    }
}

QSize JalaliDateEdit::sizeHint() const
{
    const BlockMetrics m = blockMetrics();
    const int f = frameWidth();
    const int width = 4 * m.numberWidth + 2 * m.slashWidth + 2 * kBlockMargin + 2 * f;
    const int height = QFontMetrics(font()).height() + 2 * f + 4;
    return QSize(std::max(width, 121), autoSize_ ? height : std::max(height, 21));
}

QSize JalaliDateEdit::minimumSizeHint() const
{
    return sizeHint();
}

void JalaliDateEdit::applyAutoSize()
{
    updateGeometry();
    if (autoSize_)
        resize(width(), sizeHint().height());
}

void JalaliDateEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintField(p);
}

void JalaliDateEdit::paintField(QPainter& p)
{
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = frameWidth();
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    if (readOnly_)
        frame.state |= QStyle::State_ReadOnly;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);

    // The boxes are physical: year, month, day from left to right in both directions.
    p.setLayoutDirection(Qt::LeftToRight);
    p.setFont(font());
    const QPalette& pal = palette();
    const QColor text =
        greyed() ? pal.color(QPalette::Disabled, QPalette::Text) : pal.color(QPalette::Text);
    const int values[3] = {year_, month_, day_};
    const bool showActive = hasFocus() && isEnabled();
    for (int part = 0; part < 3; ++part) {
        const QRect r = partRect(part);
        const QString number = isNull_ ? u"  "_s : QString::number(values[part]);
        if (showActive && part == activePart_) {
            p.fillRect(r, pal.color(QPalette::Active, QPalette::Highlight));
            p.setPen(pal.color(QPalette::Active, QPalette::HighlightedText));
        } else {
            p.setPen(text);
        }
        p.drawText(r, Qt::AlignCenter, number);
    }
    p.setPen(text);
    for (int gap = 0; gap < 2; ++gap) {
        const QRect before = partRect(gap);
        const QRect slash(before.right() + 1, before.top(), blockMetrics().slashWidth,
                          before.height());
        p.drawText(slash, Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter, u"/"_s);
    }
}

// ---------------------------------------------------------------------------------------
// The drop-down window

DropDownMonthView::DropDownMonthView(JalaliDateDropDown* picker)
    : QFrame(picker, Qt::Popup), picker_(picker), calendar_(new JalaliMonthView(this))
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    // The field keeps the keyboard: keys reach the calendar through processKey.
    calendar_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(calendar_);
    // The calendar cannot hold the keyboard here; once the year is in, the field has it back.
    connect(calendar_->yearEditor(), &YearEdit::finished, this, [this] {
        dropStaleFocus();
        if (picker_->droppedDown_)
            picker_->setFocus(Qt::PopupFocusReason);
    });
}

void DropDownMonthView::dropStaleFocus()
{
    // While a pop-up is open, the keyboard goes to the pop-up's focus widget; a hidden year
    // editor left as that widget would swallow every key of this and later openings.
    if (QWidget* stale = focusWidget())
        stale->clearFocus();
}

void DropDownMonthView::processKey(QKeyEvent* event)
{
    event->accept();
    if (YearEdit* editor = calendar_->yearEditor(); editor->isVisible()) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
        QCoreApplication::sendEvent(editor, &copy);
        return;
    }
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (alt) {
            picker_->closeUp(true);
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        picker_->closeUp(true);
        return;
    case Qt::Key_Escape:
        picker_->closeUp(false);
        return;
    default:
        break;
    }
    calendar_->handleKey(event);
}

void DropDownMonthView::keyPressEvent(QKeyEvent* event)
{
    processKey(event);
}

void DropDownMonthView::wheelEvent(QWheelEvent* event)
{
    calendar_->handleWheel(event);
}

void DropDownMonthView::mousePressEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint())) {
        // A click on the field only closes the calendar; it must not reopen it.
        const QPoint onPicker = picker_->mapFromGlobal(event->globalPosition().toPoint());
        if (picker_->rect().contains(onPicker))
            setAttribute(Qt::WA_NoMouseReplay);
        picker_->closeUp(false);
        return;
    }
    QFrame::mousePressEvent(event);
}

void DropDownMonthView::mouseReleaseEvent(QMouseEvent* event)
{
    // The press that opened the calendar is released here, over the pop-up's grab.
    if (picker_->buttonPressed_) {
        picker_->buttonPressed_ = false;
        picker_->update();
    }
    QFrame::mouseReleaseEvent(event);
}

void DropDownMonthView::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    // Closed by the system (a click elsewhere, the program losing the screen): no choice.
    if (picker_->droppedDown_)
        picker_->closeUp(false);
}

// ---------------------------------------------------------------------------------------
// The drop-down picker

JalaliDateDropDown::JalaliDateDropDown(QWidget* parent)
    : JalaliDateEdit(parent), dropDown_(new DropDownMonthView(this))
{
    JalaliMonthView* cal = dropDown_->calendar();
    connect(cal, &JalaliMonthView::dateChosen, this, [this] {
        closeUp(true);
        setFocus(Qt::PopupFocusReason);
    });
    connect(cal, &JalaliMonthView::onGetMonthInfo, this, &JalaliDateDropDown::onGetMonthInfo,
            Qt::DirectConnection);
    resize(121, height());
}

JalaliDateDropDown::~JalaliDateDropDown()
{
    droppedDown_ = false;
    delete dropDown_;
    dropDown_ = nullptr;
}

JalaliMonthView* JalaliDateDropDown::calendar() const
{
    return dropDown_->calendar();
}

MonthViewColors* JalaliDateDropDown::calColors() const
{
    return dropDown_->calendar()->calColors();
}

void JalaliDateDropDown::setDropDownAlign(DropDownAlign align)
{
    if (align == dropDownAlign_)
        return;
    dropDownAlign_ = align;
    emit settingsChanged();
}

void JalaliDateDropDown::setChecked(bool on)
{
    if (on == checked_)
        return;
    endEdit();
    checked_ = on;
    update();
    emit settingsChanged();
}

void JalaliDateDropDown::setShowCheckBox(bool on)
{
    if (on == showCheckBox_)
        return;
    showCheckBox_ = on;
    updateGeometry();
    update();
    emit settingsChanged();
}

void JalaliDateDropDown::setDefaultBoldDays(DefaultBoldDays days)
{
    if (days == defaultBoldDays_)
        return;
    defaultBoldDays_ = days;
    emit settingsChanged();
}

void JalaliDateDropDown::setCalendarOptions(MonthViewOptions options)
{
    options &= ~MonthViewOptions(mcoMultiSelect | mcoRangeSelect);
    if (options == calendarOptions_)
        return;
    calendarOptions_ = options;
    emit settingsChanged();
}

int JalaliDateDropDown::buttonWidth() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QRect JalaliDateDropDown::buttonRect() const
{
    const QRect inner = JalaliDateEdit::contentRect();
    const int w = buttonWidth();
    return isRightToLeft() ? QRect(inner.left(), inner.top(), w, inner.height())
                           : QRect(inner.right() + 1 - w, inner.top(), w, inner.height());
}

QRect JalaliDateDropDown::checkBoxRect() const
{
    if (!showCheckBox_)
        return {};
    const QRect inner = JalaliDateEdit::contentRect();
    const int w = buttonWidth();
    return isRightToLeft() ? QRect(inner.right() + 1 - w, inner.top(), w, inner.height())
                           : QRect(inner.left(), inner.top(), w, inner.height());
}

QRect JalaliDateDropDown::contentRect() const
{
    QRect area = JalaliDateEdit::contentRect();
    const int w = buttonWidth();
    const int left = (isRightToLeft() || showCheckBox_) ? w : 0;
    const int right = (!isRightToLeft() || showCheckBox_) ? w : 0;
    return area.adjusted(left, 0, -right, 0);
}

bool JalaliDateDropDown::editable() const
{
    return JalaliDateEdit::editable() && (!showCheckBox_ || checked_);
}

bool JalaliDateDropDown::greyed() const
{
    return JalaliDateEdit::greyed() || (showCheckBox_ && !checked_);
}

QSize JalaliDateDropDown::sizeHint() const
{
    QSize s = JalaliDateEdit::sizeHint();
    const int extra = buttonWidth() * (showCheckBox_ ? 2 : 1);
    s.setWidth(std::max(121, s.width() + extra));
    return s;
}

void JalaliDateDropDown::toggleChecked()
{
    endEdit();
    checked_ = !checked_;
    update();
    emit dateChanged();
}

void JalaliDateDropDown::dropDown()
{
    if (droppedDown_ || readOnly())
        return;
    endEdit();
    if (!checked_) {
        checked_ = true;
        update();
    }
    if (IsNull()) {
        setIsNull(false);
        emit dateChanged();
    }
    emit dropDownShown();

    JalaliMonthView* cal = dropDown_->calendar();
    cal->beginSetup();
    cal->setLayoutDirection(layoutDirection());
    cal->setFont(font());
    cal->setDefaultBoldDays(defaultBoldDays_);
    cal->setCalendarOptions(calendarOptions_);
    cal->setMinDate(0);
    cal->setMaxDate(0);
    cal->setMinDate(minDate());
    cal->setMaxDate(maxDate());
    cal->setDate(Date());
    cal->endSetup();
    dropDown_->setLayoutDirection(layoutDirection());
    // The fixed-size layout must take the calendar's new size before the pop-up is placed.
    dropDown_->layout()->activate();
    dropDown_->adjustSize();
    placeDropDown();
    droppedDown_ = true;
    dropDown_->dropStaleFocus();
    dropDown_->show();
    update();
    emit settingsChanged();
}

void JalaliDateDropDown::placeDropDown()
{
    const QSize size = dropDown_->size();
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    const QScreen* shownOn = screen();
    const QRect area = shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);

    int y = topLeft.y() + height();
    if (y + size.height() > area.bottom() + 1)
        y = topLeft.y() - size.height();

    DropDownAlign align = dropDownAlign_;
    if (isRightToLeft() && align != daCenter)
        align = align == daLeft ? daRight : daLeft;
    int x = topLeft.x();
    if (align == daRight)
        x = topLeft.x() + width() - size.width();
    else if (align == daCenter)
        x = topLeft.x() + (width() - size.width()) / 2;
    if (x + size.width() > area.right() + 1)
        x = area.right() + 1 - size.width();
    if (x < area.left())
        x = area.left();
    // The client rectangle, whatever frame the platform would put round a window.
    dropDown_->setGeometry(QRect(QPoint(x, y), size));
}

void JalaliDateDropDown::closeUp(bool take)
{
    if (!droppedDown_ || closing_)
        return;
    closing_ = true;
    droppedDown_ = false;
    buttonPressed_ = false;
    if (take) {
        SerialDate value = dropDown_->calendar()->Date();
        if (minDate() != 0 && value < minDate())
            value = minDate();
        if (maxDate() != 0 && value > maxDate())
            value = maxDate();
        try {
            setDate(value);
        } catch (...) {
            dropDown_->hide();
            closing_ = false;
            throw;
        }
    }
    dropDown_->hide();
    closing_ = false;
    update();
    emit dropDownClosed();
    emit settingsChanged();
}

void JalaliDateDropDown::keyPressEvent(QKeyEvent* event)
{
    if (droppedDown_) {
        dropDown_->processKey(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::AltModifier) && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)) {
        endEdit();
        dropDown();
        event->accept();
        return;
    }
    if (showCheckBox_ && event->key() == Qt::Key_Space &&
        !(mods & (Qt::ControlModifier | Qt::AltModifier)) && !readOnly() && isEnabled()) {
        toggleChecked();
        event->accept();
        return;
    }
    JalaliDateEdit::keyPressEvent(event);
}

void JalaliDateDropDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        if (!droppedDown_)
            JalaliDateEdit::mousePressEvent(event);
        return;
    }
    if (droppedDown_) {
        closeUp(false);
        event->accept();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (buttonRect().contains(pos)) {
        setFocus(Qt::MouseFocusReason);
        endEdit();
        if (!readOnly()) {
            buttonPressed_ = true;
            update();
            dropDown();
        }
        event->accept();
        return;
    }
    if (showCheckBox_ && checkBoxRect().contains(pos)) {
        setFocus(Qt::MouseFocusReason);
        if (!readOnly())
            toggleChecked();
        event->accept();
        return;
    }
    JalaliDateEdit::mousePressEvent(event);
}

void JalaliDateDropDown::mouseReleaseEvent(QMouseEvent* event)
{
    if (buttonPressed_) {
        buttonPressed_ = false;
        update();
    }
    JalaliDateEdit::mouseReleaseEvent(event);
}

void JalaliDateDropDown::wheelEvent(QWheelEvent* event)
{
    if (droppedDown_) {
        dropDown_->calendar()->handleWheel(event);
        return;
    }
    JalaliDateEdit::wheelEvent(event);
}

void JalaliDateDropDown::focusOutEvent(QFocusEvent* event)
{
    if (droppedDown_ && event->reason() != Qt::PopupFocusReason) {
        const QWidget* now = QApplication::focusWidget();
        if (!now || (now != dropDown_ && !dropDown_->isAncestorOf(now)))
            closeUp(false);
    }
    JalaliDateEdit::focusOutEvent(event);
}

void JalaliDateDropDown::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        closeUp(false);
    if (event->type() == QEvent::LayoutDirectionChange)
        closeUp(false);
    JalaliDateEdit::changeEvent(event);
}

void JalaliDateDropDown::hideEvent(QHideEvent* event)
{
    closeUp(false);
    JalaliDateEdit::hideEvent(event);
}

void JalaliDateDropDown::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintField(p);

    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = buttonRect();
    button.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    button.state |= buttonPressed_ ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &p, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    const int side = std::min(button.rect.width(), button.rect.height()) / 2;
    arrow.rect =
        QRect(button.rect.center().x() - side / 2, button.rect.center().y() - side / 2, side, side);
    arrow.state &= ~QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);

    if (showCheckBox_) {
        const QRect box = checkBoxRect();
        QStyleOptionButton check;
        check.initFrom(this);
        const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
        const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
        check.rect = QRect(box.center().x() - w / 2, box.center().y() - h / 2, w, h);
        check.state &= ~QStyle::State_HasFocus;
        check.state |= checked_ ? QStyle::State_On : QStyle::State_Off;
        if (readOnly())
            check.state &= ~QStyle::State_Enabled;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, &p, this);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = check.rect.adjusted(-2, -2, 2, 2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}
