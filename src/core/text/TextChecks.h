#pragma once

#include <QString>

// True when every character is a digit 0-9 or "."; an empty text is true.
bool IsNumberText(const QString& text);

// True when nothing remains after removing leading and trailing characters with codes up
// to 32 (blanks and control characters).
bool IsBlankText(const QString& text);

// The text without leading and trailing characters with codes up to 32.
QString TrimBlanks(const QString& text);

// The text with Persian (U+06F0..U+06F9) and Arabic-Indic (U+0660..U+0669) digits replaced
// by 0..9: a Persian keyboard types those, and every number field takes them as digits.
QString ToLatinDigits(QString text);
