#pragma once

#include <QString>

// The face name the program's windows are set in and new layouts store. The program carries
// no font of this name: render/Fonts maps it (with the other names older layouts store) to
// its own Persian font, so stored layouts keep their names.
inline QString ProgramFontFamily()
{
    return QStringLiteral("Tahoma");
}
