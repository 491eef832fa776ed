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
int CmdWords(const QStringList& args);
int CmdDate(const QStringList& args);
int CmdFormat(const QStringList& args);
int CmdPrint(const QStringList& args);
int CmdCalibrate(const QStringList& args);
int CmdRegister(const QStringList& args);
int CmdSeries(const QStringList& args);
int CmdBatch(const QStringList& args);
int CmdBackup(const QStringList& args);
int CmdLayout(const QStringList& args);

// A date argument: yyyy-mm-dd (proleptic Gregorian), a Jalali date text, or @N for day
// number N. Raises ConversionError for anything else.
double ParseDateArgument(const QString& text);
