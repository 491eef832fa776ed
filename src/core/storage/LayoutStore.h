#pragma once

#include "core/cheque/ChequeLayout.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

// The stored layouts: tblChequeImage (one picture row per account) and tblItemsPrvt (ten
// rows per account that has a layout), over the program's one connection.

inline constexpr char kPictureStatement[] =
    "select * from tblChequeImage where AccountMstId = :InId";
inline constexpr char kLayoutRowStatement[] =
    "select * from tblItemsPrvt where AccountMstId = :InId";

// Reads an account's picture (unpacked, still JPEG) and rows. Empty columns read as 0, ""
// and false; a row whose ItemId is not 1..11 (or whose numbers pass 32 bits) is passed over.
// A database error is thrown as AppError: a Persian sentence, then the database's text.
ChequeLayout ReadLayout(QSqlDatabase db, int accountId);

// Called with 0 before the rows are written and with each ItemId as its row is written.
using LayoutProgress = std::function<void(int)>;

// Writes an account's layout as one durable transaction: the picture row (only when
// pictureJpeg is not empty; updated in place or inserted) and every row, the national ID's included
// (updated in place, missing ones inserted; rows of other ItemIds left untouched). The general row
// never gets FName, FStyle or DoPrint; DoPrint goes to items 3, 7, 8, 9, 10 and PrintTumans to item
// 5 only. Either everything is written or, on any failure, nothing: returns false and the
// database's reason in *error.
bool SaveLayout(QSqlDatabase db, int accountId, const LayoutRows& rows,
                const QByteArray& pictureJpeg, const LayoutProgress& progress = {},
                QString* error = nullptr);

// Deletes an account's layout rows, its picture row and the account itself, all or nothing.
// A failure is thrown as AppError (a Persian sentence, then the database's text), the account
// left whole.
void DeleteAccountWithLayout(QSqlDatabase db, int accountId);
