#pragma once

#include <QStringList>
#include <QTextStream>

// One subcommand of nilocheque: its name, a one-line summary for --help, and its entry
// point taking the arguments after the name. It returns the process exit code.
struct CliCommand
{
    const char* name;
    const char* summary;
    int (*run)(const QStringList& args);
};

// UTF-8 streams for the subcommands.
QTextStream& out();
QTextStream& err();

// The subcommands, defined each in its own file.
int CmdInitDb(const QStringList& args);
