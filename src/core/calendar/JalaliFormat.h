#pragma once

#include "core/calendar/JalaliCalendar.h"

#include <QChar>
#include <QList>
#include <QString>
#include <array>

// One calendar era of the regional settings: its name and the offset that turns an era
// year into a Jalali year (Jalali year = era year + offset).
struct JalaliEra final
{
    QString name;
    int yearOffset = 0;
};

// The regional date and time settings the formatter and scanner read. Linux has no
// regional settings of this kind, so the defaults below stand in for them.
struct JalaliFormatSettings final
{
    QString shortDateFormat = QStringLiteral("yyyy/mm/dd");
    QString longDateFormat = QStringLiteral("dddd d mmmm yyyy");
    QChar dateSeparator = u'/';
    QChar timeSeparator = u':';
    QString shortTimeFormat = QStringLiteral("hh:nn");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    QString timeAMString = QStringLiteral("ق.ظ");
    QString timePMString = QStringLiteral("ب.ظ");
    int twoDigitYearCenturyWindow = 50;
    // Empty by default: there is no alternative calendar here, so a date has no era name
    // and its era year is the Jalali year itself.
    QList<JalaliEra> eras;
};

// The process-wide settings. The program never changes them; tests may.
const JalaliFormatSettings& CurrentJalaliFormatSettings();
void SetJalaliFormatSettings(const JalaliFormatSettings& settings);

// Name tables, indexed by the Jalali month 1..12 and the Jalali weekday 1..7 (1 =
// Saturday); entry 0 is an empty text.
extern const std::array<QString, 13> JalaliShortMonthNames;
extern const std::array<QString, 13> JalaliLongMonthNames;
extern const std::array<QString, 8> JalaliShortDayNames;
extern const std::array<QString, 8> JalaliLongDayNames;

// The longest text FormatJalaliDateTime gives; the rest is dropped.
inline constexpr int kMaxFormattedLength = 256;

// The value formatted with a pattern of the format letters (y, m, d, h, n, s, z, c, t,
// am/pm, a/p, ampm, e, g, / and :); every calendar field is Jalali. An empty pattern
// means "c". Never fails.
QString FormatJalaliDateTime(const QString& pattern, SerialDate value);
QString FormatJalaliDateTime(const QString& pattern, SerialDate value,
                             const JalaliFormatSettings& settings);

// The value's Jalali date in the short date format (yyyy/mm/dd by default: 1391/01/02).
QString JalaliDateToStr(SerialDate value);
QString JalaliDateToStr(SerialDate value, const JalaliFormatSettings& settings);

// Reads a Jalali date (midnight) at a 1-based position of the text, which is advanced past
// what was read. False when no valid date is there.
bool TryScanJalaliDate(const QString& text, int& position, SerialDate& value);
bool TryScanJalaliDate(const QString& text, int& position, SerialDate& value,
                       const JalaliFormatSettings& settings);

// The date of a text that is one whole valid Jalali date; raises ConversionError
// "'<text>' is not a valid date" otherwise.
SerialDate StrToJalaliDate(const QString& text);
SerialDate StrToJalaliDate(const QString& text, const JalaliFormatSettings& settings);
