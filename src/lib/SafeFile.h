#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writing a file the user asked for (a PDF, an export) whole or not at all.

// Why the path cannot take a new file: a folder, a device, a pipe or socket, or the same file
// as one of the protected files (the open database); empty when it can.
QString RefusedOutputPath(const QString& path, const QStringList& protectedFiles);

// Writes the bytes beside the target, checks every write and flush, syncs them to the disk
// and only then renames the copy over the target. On any failure the old file is left as it
// was and the reason is returned; empty on success.
QString WriteFileWhole(const QString& path, const QByteArray& data);
