#pragma once

#include <QStringList>

// The installed printers, in the printing system's order.
QStringList InstalledPrinters();

// Makes the printer of that exact name (case-sensitive) the user's default destination,
// as `lpoptions -d` does; the program then prints to it. A name that matches no printer
// changes nothing, and nothing is reported.
void SelectDefaultPrinter(const QString& name);

// The printer the program prints to: the default destination, else the first installed
// printer; empty when no printer is installed.
QString CurrentPrinterName();
