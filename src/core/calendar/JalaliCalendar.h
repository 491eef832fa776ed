#pragma once

#include <QtGlobal>

// A date value: the whole part counts days from 30 December 1899 (day 0), the fraction is
// the time of day.
using SerialDate = double;

// Lengths of the Jalali months: row 0 for common years, row 1 for leap years, indexed by
// month - 1. Only Esfand differs.
inline constexpr quint16 JalaliMonthDays[2][12] = {
    {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, 29},
    {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, 30},
};

// The first-week rule that JalaliWeekOfYear uses for rule 0: week 1 is the first week with
// at least four days of the new year.
inline constexpr int JalaliFirstWeekRule = 2;

// The last day number that has a Jalali date: 29 Esfand 9999.
inline constexpr qint64 kLastJalaliDay = 3185359;
// The day number of 1 Farvardin 1 (21 March 622).
inline constexpr qint64 kFirstJalaliDay = -466699;

// The day number of a date value: rounded to the nearest millisecond, then truncated
// towards zero. Values that are not finite, or far outside the calendar, give a day
// number outside kFirstJalaliDay..kLastJalaliDay (never undefined behaviour).
qint64 DayNumberOf(SerialDate value);

// A year is leap when year mod 33 is 1, 5, 9, 13, 17, 22, 26 or 30.
bool IsJalaliLeapYear(quint16 year);

// The number of leap years among the years 1..year (0 for year 0).
int JalaliLeapYearsUpTo(quint16 year);

// The length of a month, 0 for a month outside 1..12.
quint16 JalaliDaysInMonth(quint16 year, quint16 month);

// Midnight of the Jalali date in value; false (value untouched) when the date is invalid
// (year outside 1..9999, month outside 1..12, day 0 or beyond the month).
bool TryEncodeJalaliDate(quint16 year, quint16 month, quint16 day, SerialDate& value);

// As TryEncodeJalaliDate, but raises ConversionError "Invalid argument to date encode".
SerialDate EncodeJalaliDate(quint16 year, quint16 month, quint16 day);

// The Jalali date and weekday (1 = Saturday ... 7 = Friday) of a date value; all zeros
// for a value before 1 Farvardin 1 or after 29 Esfand 9999. Never fails.
void DecodeJalaliDateFully(SerialDate value, quint16& year, quint16& month, quint16& day,
                           quint16& weekday);
void DecodeJalaliDate(SerialDate value, quint16& year, quint16& month, quint16& day);

struct JalaliDate final
{
    quint16 year = 0;
    quint16 month = 0;
    quint16 day = 0;
    quint16 weekday = 0; // 1 = Saturday ... 7 = Friday; 0 when there is no Jalali date
    friend bool operator==(const JalaliDate&, const JalaliDate&) = default;
};
// The same as a value, for callers that prefer one.
JalaliDate DecodeJalaliDateFully(SerialDate value);

// The Jalali weekday number: 1 = Saturday ... 7 = Friday.
quint16 JalaliDayOfWeek(SerialDate value);

// The value moved by a number of months (negative goes back); the day is cut to the
// target month's length and the time of day is kept. Raises ConversionError "Invalid
// argument to date encode" when the result leaves the years 1..9999.
SerialDate IncJalaliMonth(SerialDate value, int months = 1);

// The Jalali year of today's date (through the clock seam of Today.h).
quint16 CurrentJalaliYear();

// The week number 1..53 of a date within its Jalali year; weeks run Saturday to Friday.
// Rule 1: week 1 holds 1 Farvardin; rule 2: week 1 is the first with four days of the
// year; rule 3: the first full week; rule 0: JalaliFirstWeekRule. Raises ConversionError
// "Invalid argument to date encode" outside the years 1..9999.
int JalaliWeekOfYear(int rule, SerialDate value);
