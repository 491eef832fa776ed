#pragma once

class QCoreApplication;

// Installs Qt's own Persian texts (Debian's qt6-translations-l10n), so that the standard
// dialogs and buttons speak Persian. False when they are not installed (English remains).
bool InstallQtPersianTranslations(QCoreApplication& app);
