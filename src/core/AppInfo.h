#pragma once

#include <QString>

// The application title: task bar, and caption of the event loop's error boxes.
inline QString ApplicationTitle()
{
    return QStringLiteral("چاپ چك نيلو");
}

// The help file, a bare name resolved against the executable's folder.
inline QString ApplicationHelpFile()
{
    return QStringLiteral("NiloChequePrint.chm");
}

// The Persian keyboard layout, activated when a right-to-left input takes the focus.
inline QString RightToLeftKeyboardLayoutId()
{
    return QStringLiteral("00000429");
}
