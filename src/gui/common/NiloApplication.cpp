#include "gui/common/NiloApplication.h"

#include "gui/common/Guard.h"

#include <QIcon>

NiloApplication::NiloApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Every window, child windows and dialogs included, shows the program's icon, not Qt's.
    setWindowIcon(QIcon(QStringLiteral(":/images/app_icon.png")));
}

bool NiloApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        try {
            ReportCurrentException();
        } catch (...) {
            // Showing the error failed too; dropping it keeps the program alive.
        }
        return false;
    }
}
