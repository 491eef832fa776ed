#pragma once

#include <QString>

// Profile (INI) files with the Windows profile-string semantics: section and key names
// compared without regard to case, blanks around keys and values ignored, a value in
// matching quotes unquoted, values cut at 2047 characters, lines kept as they were when a
// value is written. The path is folder followed directly by the file name part.

inline constexpr int kIniValueMaxChars = 2047;

QString ReadIniString(const QString& fileNamePart, const QString& folder, const QString& section,
                      const QString& key, const QString& defaultValue);

// Creates the file and the section as needed, written whole (a failure keeps the old file).
// Throws AppError "Unable to write to %s", then the reason on a second line,
// when the file cannot be written or the one there cannot be read.
void WriteIniString(const QString& fileNamePart, const QString& folder, const QString& section,
                    const QString& key, const QString& value);
