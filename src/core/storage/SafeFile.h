#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading and writing the program's own files so that nothing unexpected is followed or
// loaded, and a write is whole or not at all.

enum class ReadStatus { Ok, Missing, NotRegular, OutsideFolder, TooLarge, Failed };

struct FileRead
{
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
    int error = 0; // errno of a failed open or read
    bool ok() const { return status == ReadStatus::Ok; }
};

// Reads a regular file of at most maxBytes (read up to maxBytes + 1 to tell). Devices, FIFOs,
// sockets and folders are refused without reading or waiting. A symbolic link is followed
// only when its target lies inside `folder` (empty: the folder the path names).
FileRead ReadRegularFile(const QString& path, qint64 maxBytes, const QString& folder = {});

// A sentence for the user on why a read was refused ("" for Ok).
QString ReadFailureText(const FileRead& read);

// Writes bytes to path whole: a temporary file beside it, written, flushed, synced and renamed
// over it; in a folder that takes no new file but whose file is writable, the file is rewritten
// in place with its room reserved first. A symbolic link out of `folder` is refused. On any
// failure the old file keeps its bytes, and the reason (a Persian sentence, then the system's
// words) goes to *reason.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, const QString& folder,
                    QString* reason);

// The Persian sentence for a failed write's errno.
QString WriteFailureText(int error);

// Why the path cannot take a new file the user asked for (a PDF, an export): a folder, a
// device, a pipe or socket, or the same file as one of the protected files (the open
// database); empty when it can.
QString RefusedOutputPath(const QString& path, const QStringList& protectedFiles);
