#include "core/calendar/Today.h"

#include <cmath>

namespace {

// Julian day of 30 December 1899, day 0 of the date values.
constexpr qint64 kJulianDayOfDayZero = 2415019;
constexpr qint64 kMsPerDay = 86400000;

std::function<SerialDate()>& clockOverride()
{
    static std::function<SerialDate()> f;
    return f;
}

} // namespace

SerialDate Now()
{
    if (const auto& f = clockOverride())
        return f();
    return ToDateValue(QDateTime::currentDateTime());
}

SerialDate Today()
{
    return std::trunc(Now());
}

void SetNowForTests(std::function<SerialDate()> now)
{
    clockOverride() = std::move(now);
}

SerialDate ToDateValue(const QDate& date)
{
    if (!date.isValid())
        return 0;
    return SerialDate(date.toJulianDay() - kJulianDayOfDayZero);
}

SerialDate ToDateValue(const QDateTime& dateTime)
{
    const SerialDate day = ToDateValue(dateTime.date());
    const SerialDate time =
        dateTime.time().isValid()
            ? SerialDate(dateTime.time().msecsSinceStartOfDay()) / SerialDate(kMsPerDay)
            : 0.0;
    return day < 0 ? day - time : day + time;
}

QDate ToQDate(SerialDate value)
{
    return QDate::fromJulianDay(DayNumberOf(value) + kJulianDayOfDayZero);
}

QDateTime ToQDateTime(SerialDate value)
{
    if (!std::isfinite(value))
        return {};
    const qint64 ms = std::llround(std::fabs(value - std::trunc(value)) * double(kMsPerDay));
    const QDate date = ToQDate(value);
    // A fraction that rounds to a whole day has already moved the day number on.
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms % kMsPerDay)));
}
