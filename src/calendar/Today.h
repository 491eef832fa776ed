#pragma once

#include "calendar/JalaliCalendar.h"

#include <QDate>
#include <QDateTime>
#include <functional>

// The clock seam: every reading of the system clock goes through Now(), so tests can pin
// "today".

// The local date and time as a date value.
TDateTime Now();

// The whole part of Now(): today at midnight.
TDateTime Today();

// Replaces the clock for tests; an empty function restores the system clock.
void SetNowForTests(std::function<TDateTime()> now);

// Conversions between date values and Qt dates. A date value's day number counts days from
// 30 December 1899; for days before it the fraction still counts forward from midnight
// (day -1 at 06:00 is -1.25).
TDateTime ToDateValue(const QDate& date);
TDateTime ToDateValue(const QDateTime& dateTime);
QDate ToQDate(TDateTime value);
QDateTime ToQDateTime(TDateTime value);
