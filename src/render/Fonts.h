#pragma once

#include <QStringList>

// Registers the fonts the program carries and maps the face names that layouts store
// ("Tahoma", "B Jadid", ...) to them, so stored names stay as they are and Persian text
// renders joined. Safe to call more than once.
void RegisterProgramFonts();

// The face names stored layouts use that the program maps to its own fonts.
QStringList MappedFontNames();
