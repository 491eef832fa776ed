#pragma once

#include <QString>

// True when every character is a digit 0-9 or "."; an empty text is true.
bool IsNumberText(const QString& text);

// True when nothing remains after removing leading and trailing characters with codes up
// to 32 (blanks and control characters).
bool IsBlankText(const QString& text);

// The text without leading and trailing characters with codes up to 32.
QString TrimBlanks(const QString& text);
