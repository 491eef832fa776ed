#include "render/Fonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace {
const QString kShippedFamily = QStringLiteral("Vazirmatn");
} // namespace

QStringList MappedFontNames()
{
    return {QStringLiteral("Tahoma"), QStringLiteral("B Jadid"), QStringLiteral("2  Yekan"),
            QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Niagara Engraved")};
}

void RegisterProgramFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QDir fonts(QStringLiteral(":/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));

    // The shipped Persian face first, then faces Debian commonly has, for glyphs it lacks.
    const QStringList fallbacks = {kShippedFamily, QStringLiteral("Noto Sans Arabic"),
                                   QStringLiteral("DejaVu Sans")};
    for (const QString& name : MappedFontNames())
        QFont::insertSubstitutions(name, fallbacks);
}
