#pragma once

#include <QString>

inline constexpr char kDatabaseFileName[] = "NiloChequePrint.mdb";

// Creates a new database file with the program's tables. Refuses an existing file.
// Returns an empty string on success, otherwise the reason.
QString CreateDatabase(const QString& path);
