#pragma once

#include "core/calendar/JalaliCalendar.h"

#include <QDate>
#include <QDateTime>
#include <functional>

// The clock seam: every reading of the system clock goes through Now(), so tests can pin
// "today".

// The local date and time as a date value.
SerialDate Now();

// The whole part of Now(): today at midnight.
SerialDate Today();

// Replaces the clock for tests; an empty function restores the system clock.
void SetNowForTests(std::function<SerialDate()> now);

// Conversions between date values and Qt dates. A date value's day number counts days from
// 30 December 1899; for days before it the fraction still counts forward from midnight
// (day -1 at 06:00 is -1.25).
SerialDate ToDateValue(const QDate& date);
SerialDate ToDateValue(const QDateTime& dateTime);
QDate ToQDate(SerialDate value);
QDateTime ToQDateTime(SerialDate value);
