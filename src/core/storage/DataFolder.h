#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps what it reads and writes. The current folder's database wins (a
// folder set up by hand, the README's run command); otherwise the per-user data folder
// ($XDG_DATA_HOME/NiloChequePrint, by default ~/.local/share/NiloChequePrint) holds the
// database, the settings file and everything else the program writes.

// The per-user data folder (not created).
QString UserDataFolder();

// The folder to work in: the current folder when it holds the database, else UserDataFolder().
QString ChooseDataFolder();

// The database file the tool uses when no --database is given.
QString DefaultDatabasePath();

// The folders the help file is looked for in, in order: the current (data) folder, the
// executable's folder, and the installed share folder (<prefix>/share/NiloChequePrint).
QStringList HelpFileFolders();

// The help file's absolute path from the first folder that holds it; empty when none does.
QString FindHelpFile();
