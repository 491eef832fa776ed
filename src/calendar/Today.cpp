#include "calendar/Today.h"

#include <cmath>

namespace {

// Julian day of 30 December 1899, day 0 of the date values.
constexpr qint64 kJulianDayOfDayZero = 2415019;
constexpr qint64 kMsPerDay = 86400000;

std::function<TDateTime()>& clockOverride()
{
    static std::function<TDateTime()> f;
    return f;
}

} // namespace

TDateTime Now()
{
    if (const auto& f = clockOverride())
        return f();
    return ToDateValue(QDateTime::currentDateTime());
}

TDateTime Today()
{
    return std::trunc(Now());
}

void SetNowForTests(std::function<TDateTime()> now)
{
    clockOverride() = std::move(now);
}

TDateTime ToDateValue(const QDate& date)
{
    if (!date.isValid())
        return 0;
    return TDateTime(date.toJulianDay() - kJulianDayOfDayZero);
}

TDateTime ToDateValue(const QDateTime& dateTime)
{
    const TDateTime day = ToDateValue(dateTime.date());
    const TDateTime time =
        dateTime.time().isValid()
            ? TDateTime(dateTime.time().msecsSinceStartOfDay()) / TDateTime(kMsPerDay)
            : 0.0;
    return day < 0 ? day - time : day + time;
}

QDate ToQDate(TDateTime value)
{
    return QDate::fromJulianDay(DayNumberOf(value) + kJulianDayOfDayZero);
}

QDateTime ToQDateTime(TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    const qint64 ms = std::llround(std::fabs(value - std::trunc(value)) * double(kMsPerDay));
    const QDate date = ToQDate(value);
    // A fraction that rounds to a whole day has already moved the day number on.
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms % kMsPerDay)));
}
