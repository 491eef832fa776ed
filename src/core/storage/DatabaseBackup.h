#pragma once

#include <QString>

// A consistent copy of the database while it is in use (SQLite's online backup), written to
// targetPath whole or not at all. The copy is checked (integrity_check) in memory before it is
// written and again on disk before success is reported. The target may not be the database
// itself, a folder, a device or a pipe. Returns an empty string on success, else a Persian
// reason (then the database's or the system's words).
QString BackupDatabase(const QString& databasePath, const QString& targetPath);

// The local file a Qt SQLite connection's database name names ("file:///a/b.mdb?mode=rw").
QString DatabaseFileOf(const QString& connectionDatabaseName);
