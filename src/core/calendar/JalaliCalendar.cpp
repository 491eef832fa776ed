#include "core/calendar/JalaliCalendar.h"

#include "core/calendar/Today.h"
#include "core/errors/AppError.h"

#include <cmath>

namespace {

// Day number + kAbsoluteOffset = days from 1 January 1 (proleptic Gregorian, day 1).
constexpr qint64 kAbsoluteOffset = 693594;
// Day number + kJalaliOffset = days from the eve of 1 Farvardin 1.
constexpr qint64 kJalaliOffset = 466700;
constexpr qint64 kDaysPer33Years = 12053;
constexpr qint64 kMsPerDay = 86400000;

// Beyond this many days from day 0 a value has no date of any kind; it also keeps the
// millisecond count well inside 64 bits.
constexpr double kFarDays = 1.0e8;

constexpr bool leapInCycle(int r)
{
    return r == 1 || r == 5 || r == 9 || r == 13 || r == 17 || r == 22 || r == 26 || r == 30;
}

// Leap years among 0..r of one cycle, r in 0..32.
constexpr int leapsUpToInCycle(int r)
{
    int n = 0;
    for (int k = 1; k <= r; ++k)
        n += leapInCycle(k) ? 1 : 0;
    return n;
}

struct LeapTable
{
    int upTo[33] = {};
    constexpr LeapTable()
    {
        for (int r = 0; r < 33; ++r)
            upTo[r] = leapsUpToInCycle(r);
    }
};
constexpr LeapTable kLeaps;

// Leap years among 1..y for any y >= 0 (no 16-bit limit: the decoder's estimate needs it).
constexpr qint64 leapsUpTo(qint64 y)
{
    return 8 * (y / 33) + kLeaps.upTo[y % 33];
}

constexpr bool isLeap(qint64 y)
{
    return leapInCycle(int(y % 33));
}

constexpr qint64 mod7(qint64 a)
{
    const qint64 r = a % 7;
    return r < 0 ? r + 7 : r;
}

[[noreturn]] void throwEncodeError()
{
    throw ConversionError(QStringLiteral("Invalid argument to date encode"));
}

} // namespace

qint64 DayNumberOf(SerialDate value)
{
    if (!(value > -kFarDays && value < kFarDays)) // also catches NaN
        return value > 0 ? qint64(kFarDays) : -qint64(kFarDays);
    const qint64 ms = std::llround(value * double(kMsPerDay));
    return ms / kMsPerDay; // truncates towards zero
}

bool IsJalaliLeapYear(quint16 year)
{
    return isLeap(year);
}

int JalaliLeapYearsUpTo(quint16 year)
{
    return int(leapsUpTo(year));
}

quint16 JalaliDaysInMonth(quint16 year, quint16 month)
{
    if (month < 1 || month > 12)
        return 0;
    return JalaliMonthDays[isLeap(year) ? 1 : 0][month - 1];
}

bool TryEncodeJalaliDate(quint16 year, quint16 month, quint16 day, SerialDate& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        return false;
    const quint16* lengths = JalaliMonthDays[isLeap(year) ? 1 : 0];
    if (day < 1 || day > lengths[month - 1])
        return false;
    qint64 dayOfYear = day;
    for (int m = 0; m < month - 1; ++m)
        dayOfYear += lengths[m];
    const qint64 j = qint64(year - 1) * 365 + leapsUpTo(year - 1) + dayOfYear;
    value = SerialDate(j - kJalaliOffset);
    return true;
}

SerialDate EncodeJalaliDate(quint16 year, quint16 month, quint16 day)
{
    SerialDate value = 0;
    if (!TryEncodeJalaliDate(year, month, day, value))
        throwEncodeError();
    return value;
}

namespace {

// The decoder proper, on a day number; false when the day has no Jalali date.
inline bool decodeDay(qint64 dayNumber, JalaliDate& out)
{
    if (dayNumber < kFirstJalaliDay || dayNumber > kLastJalaliDay)
        return false;
    const qint64 j = dayNumber + kJalaliOffset;
    // J * 33 / 12053 truncated: the whole years before J (or exactly J's year when J is a
    // year's last day, which the remainder test below settles).
    const qint64 e = j * 33 / kDaysPer33Years;
    const qint64 r = j - (365 * e + leapsUpTo(e));
    qint64 year = 0;
    qint64 dayOfYear = 0;
    if (r == 0) {
        year = e;
        dayOfYear = isLeap(e) ? 366 : 365;
    } else {
        year = e + 1;
        dayOfYear = r;
    }
    const quint16* lengths = JalaliMonthDays[isLeap(year) ? 1 : 0];
    int month = 1;
    while (month < 12 && dayOfYear > lengths[month - 1]) {
        dayOfYear -= lengths[month - 1];
        ++month;
    }
    out.year = quint16(year);
    out.month = quint16(month);
    out.day = quint16(dayOfYear);
    out.weekday = quint16(mod7(dayNumber + kAbsoluteOffset + 1) + 1);
    return true;
}

} // namespace

JalaliDate DecodeJalaliDateFully(SerialDate value)
{
    JalaliDate d;
    if (!decodeDay(DayNumberOf(value), d))
        d = JalaliDate{};
    return d;
}

void DecodeJalaliDateFully(SerialDate value, quint16& year, quint16& month, quint16& day,
                           quint16& weekday)
{
    const JalaliDate d = DecodeJalaliDateFully(value);
    year = d.year;
    month = d.month;
    day = d.day;
    weekday = d.weekday;
}

void DecodeJalaliDate(SerialDate value, quint16& year, quint16& month, quint16& day)
{
    const JalaliDate d = DecodeJalaliDateFully(value);
    year = d.year;
    month = d.month;
    day = d.day;
}

quint16 JalaliDayOfWeek(SerialDate value)
{
    return quint16(mod7(DayNumberOf(value) + kAbsoluteOffset + 1) + 1);
}

SerialDate IncJalaliMonth(SerialDate value, int months)
{
    const JalaliDate d = DecodeJalaliDateFully(value);
    qint64 y = qint64(d.year) + months / 12;
    qint64 m = qint64(d.month) + months % 12;
    if (m < 1 || m > 12) {
        if (months >= 0) {
            y += 1;
            m -= 12;
        } else {
            y -= 1;
            m += 12;
        }
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d.day == 0)
        throwEncodeError();
    const quint16 length = JalaliDaysInMonth(quint16(y), quint16(m));
    const quint16 day = d.day > length ? length : d.day;
    const SerialDate whole = EncodeJalaliDate(quint16(y), quint16(m), day);
    // The time of day counts forward from midnight on both sides of day 0, so before it
    // the fraction is subtracted; adding it there would move the result to another day.
    const SerialDate time = std::fabs(value - std::trunc(value));
    return whole < 0 ? whole - time : whole + time;
}

quint16 CurrentJalaliYear()
{
    return DecodeJalaliDateFully(Today()).year;
}

int JalaliWeekOfYear(int rule, SerialDate value)
{
    // Rule 0, and any rule this program does not know, is the first-week rule.
    if (rule < 1 || rule > 3)
        rule = JalaliFirstWeekRule;
    const qint64 x = DayNumberOf(value);
    const JalaliDate d = DecodeJalaliDateFully(value);
    if (d.year == 0)
        throwEncodeError();
    const qint64 f = qint64(EncodeJalaliDate(d.year, 1, 1));
    const qint64 w = JalaliDayOfWeek(SerialDate(f));
    qint64 s = f - w + 1;
    if ((rule == 2 && w >= 5) || (rule == 3 && w > 1))
        s += 7;
    if (x < s) {
        if (d.year <= 1)
            throwEncodeError();
        const quint16 prev = quint16(d.year - 1);
        return JalaliWeekOfYear(rule, EncodeJalaliDate(prev, 12, IsJalaliLeapYear(prev) ? 30 : 29));
    }
    const qint64 k = (x - s) / 7 + 1;
    if (k <= 52)
        return int(k);
    if (d.year >= 9999)
        throwEncodeError();
    const qint64 f2 = qint64(EncodeJalaliDate(quint16(d.year + 1), 1, 1));
    const qint64 w2 = JalaliDayOfWeek(SerialDate(f2));
    if ((rule == 1 || (rule == 2 && w2 < 5)) && f2 - x < w2)
        return 1;
    return 53;
}
