#pragma once

#include "core/cheque/ChequeLayout.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <utility>

// An account's cheque layout as one file, laid out once and imported at every desk: a zip
// holding "layout.json" (the rows) and, when the account has one, "cheque.jpg" (its
// cheque picture, as stored).

inline constexpr char kLayoutJsonEntry[] = "layout.json";
inline constexpr char kLayoutPictureEntry[] = "cheque.jpg";
// No export comes near these: a larger file or entry is refused unread.
inline constexpr qint64 kMaxLayoutJsonBytes = 64 * 1024;
inline constexpr qint64 kMaxLayoutFileBytes = 70LL * 1024 * 1024;

struct SharedLayout
{
    LayoutRows rows;
    QByteArray pictureJpeg; // empty: the file carries no picture
};

// The file's bytes for a layout, and the two steps it takes: the JSON document of the rows and
// a zip of named entries.
QByteArray PackSharedLayout(const SharedLayout& layout);
QByteArray LayoutJson(const LayoutRows& rows);
QByteArray ZipEntries(const QList<std::pair<QString, QByteArray>>& entries);

// Reads and checks a layout file's bytes: the archive, its entries, every row (ItemIds 1..11
// once each, numbers whole and in range, font texts short and printable, the switches only
// where they belong; a file of the ten older rows gets the national ID's starting row) and the
// picture (a whole JPEG that decodes). Returns "" and fills *layout, or a Persian reason and leaves
// *layout alone.
QString UnpackSharedLayout(const QByteArray& bytes, SharedLayout* layout);

// Writes an account's stored layout to path, whole or not at all (never over one of the
// protected files: the open database). "" on success, else a Persian reason.
QString ExportLayout(QSqlDatabase db, int accountId, const QString& path,
                     const QStringList& protectedFiles);

// Replaces an account's layout (rows, and the picture when the file has one) with the one in
// the file, in one transaction, after checking all of it; a bad file or a missing account
// changes nothing. "" on success, else a Persian reason.
QString ImportLayout(QSqlDatabase db, int accountId, const QString& path);
