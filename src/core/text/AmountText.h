#pragma once

#include "core/calendar/JalaliCalendar.h"

#include <QChar>
#include <QString>
#include <array>

// Persian word tables of the amount and date words. Unused entries are empty texts.
extern const std::array<QString, 13> MonthNames;    // Jalali month 1..12
extern const std::array<QString, 8> WeekdayNames;   // 1 = Sunday ... 7 = Saturday
extern const std::array<QString, 10> OnesWords;     // 0..9
extern const std::array<QString, 10> TensWords;     // by tens digit 2..9
extern const std::array<QString, 20> TeensWords;    // by value 10..19
extern const std::array<QString, 10> HundredsWords; // by hundreds digit 1..9
extern const std::array<QString, 5> ScaleWords;     // by group from the right, 0 = units

// The text between number words: space, waw, space.
inline const QString kWordJoiner = QStringLiteral(" و ");

// The text with every ".", ",", ")" and "(" removed.
QString StripAmountMarks(QString text);

// The signed value of an amount text: 0 for an empty text; negative when the text holds a
// ")". Raises ConversionError "'<text>' is not a valid integer value" when the text
// without its marks is not a 64-bit decimal integer.
qint64 ParseAmount(const QString& text);

// The amount grouped in threes with "." (12345 -> 12.345), a negative one in parentheses;
// empty for an empty text or "0". Leading zeros are kept and grouped. Raises as
// ParseAmount.
QString FormatAmount(const QString& text);

// True for the characters that may be typed into an amount field: digits, backspace (8),
// "," and ".".
bool IsAmountKey(QChar c);

// Persian words of 0..999 (empty for 0 and for values outside 0..999).
QString WordsOfHundreds(int n);

// The longest amount text AmountToWords takes.
inline constexpr int kMaxAmountLength = 15;

// Persian words of an amount text of at most 15 characters, groups joined by " و ".
// Ends in one space when the units group is not zero. Raises ConversionError for a text
// that is no amount or is longer than 15 characters.
QString AmountToWords(const QString& text);

// The weekday, day, month and year of a date in Persian words, built from its Jalali text
// (JalaliDateToStr, yyyy/mm/dd).
QString DateToWords(SerialDate value);

// The weekday of a date value, 1 = Sunday ... 7 = Saturday.
int WeekdayOf(SerialDate value);
