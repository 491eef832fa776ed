#include "app/NiloApplication.h"

#include "lib/Guard.h"

NiloApplication::NiloApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
