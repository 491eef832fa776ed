#include "render/Printers.h"

#include <QPrinterInfo>
#include <cups/cups.h>

QStringList InstalledPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

void SelectDefaultPrinter(const QString& name)
{
    const QByteArray wanted = name.toUtf8();
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    bool found = false;
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance && wanted == dests[i].name)
            found = true;
    if (found) {
        for (int i = 0; i < count; ++i)
            dests[i].is_default = !dests[i].instance && wanted == dests[i].name;
        cupsSetDests2(CUPS_HTTP_DEFAULT, count, dests);
    }
    cupsFreeDests(count, dests);
}

QString CurrentPrinterName()
{
    const QString byDefault = QPrinterInfo::defaultPrinterName();
    if (!byDefault.isEmpty())
        return byDefault;
    const QStringList all = InstalledPrinters();
    return all.isEmpty() ? QString() : all.first();
}
