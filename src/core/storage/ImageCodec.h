#pragma once

#include <QByteArray>

// The stored-picture format: a zip archive with one entry "K2741B" holding the JPEG
// bytes, deflated at level 9. Plain (unpacked) picture bytes are accepted when reading.

inline constexpr char kImageEntryName[] = "K2741B";
// A stored picture never legitimately inflates past this; larger entries are treated as
// damaged archives so that a zip bomb cannot take unbounded memory.
inline constexpr qint64 kMaxUnpackedImageBytes = 64 * 1024 * 1024;

// Fills target with the packed form of source; an empty source leaves target untouched.
void PackImageStream(const QByteArray& source, QByteArray& target);

// Fills target with the picture bytes held in source: the entry "K2741B" of the archive,
// all of source when it is no readable archive, nothing when the archive lacks the entry.
// An empty source leaves target untouched. Never reports an error.
void UnpackImageStream(const QByteArray& source, QByteArray& target);
