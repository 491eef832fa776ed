#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// The stored cheque layout of one account: the general row (ItemId 1: cheque size, where
// the cheque sits on the printer's page, feed direction) and ten layout items (ItemId 2..11).
// Positions and widths are whole pixels at 96 per inch on the cheque picture stretched to the
// cheque's size; SideMargin is always a box's left edge; font sizes are points.

inline constexpr int kGeneralItemId = 1;
inline constexpr int kFirstLayoutItemId = 2;
inline constexpr int kLastLayoutItemId = 11;
inline constexpr int kLayoutRowCount = 11;
inline constexpr int kLayoutItemCount = 10;
// The payee's national ID (Sayad leaves) came after the first ten rows: layouts saved before
// it lack its row and show it at its starting place, switched off.
inline constexpr int kNationalIdItemId = 11;
inline constexpr int kOlderLayoutRowCount = 10;

// The side a layout item's box is measured from: its text ends at the box's right edge
// (right-to-left Persian text) or begins at its left edge.
enum class MeasuredFrom { Right, Left };

// The item's switch and the column that keeps it.
enum class ItemSwitch { None, DoPrint, PrintTumans };

struct LayoutItemInfo
{
    int itemId = 0;
    QString labelName;   // the box's object name (lblNumericDate ...)
    QString tabCaption;  // the designer's tab
    QString placeholder; // what the designer shows in the box
    MeasuredFrom side = MeasuredFrom::Right;
    ItemSwitch itemSwitch = ItemSwitch::None;
    bool leftToRight = false; // the perforation text reads left to right
    bool cutAtRight = false;  // the cover's asterisks never run beyond the box
};

// The layout items in ItemId order (2..11).
const std::array<LayoutItemInfo, kLayoutItemCount>& LayoutItems();
// The item of an ItemId from 2 to 11.
const LayoutItemInfo& LayoutItemOf(int itemId);
// The caption of the general settings' tab.
QString GeneralTabCaption();

// One row of tblItemsPrvt as read or written. Empty columns read as 0, "" and false.
struct LayoutRow
{
    int itemId = 0;
    int sideMargin = 0;
    int upMargin = 0;
    int width = 0;
    int fontSize = 0;
    QString fontName;
    QString fontStyle;
    bool doPrint = false;
    bool printTumans = false;
    friend bool operator==(const LayoutRow&, const LayoutRow&) = default;
};

using LayoutRows = std::array<LayoutRow, kLayoutRowCount>; // index = ItemId - 1

// What a read of an account gives: the unpacked picture bytes (empty: no picture) and the
// rows, when the account has a layout. A layout that lacks some ItemId has present[] false
// for it, and readers keep what they held for that item.
struct ChequeLayout
{
    QByteArray pictureJpeg;
    bool hasRows = false;
    LayoutRows rows;
    std::array<bool, kLayoutRowCount> present{};

    const LayoutRow& general() const { return rows[0]; }
    const LayoutRow& item(int itemId) const { return rows[itemId - 1]; }
};

// The designer's fields for one layout item. `horizontal` is the right margin for items
// measured from the right and the left margin (= SideMargin) for the others. The font texts
// are kept as the fields show them (the size as digits).
struct ItemFields
{
    int horizontal = 0;
    int top = 0;
    int width = 0;
    QString fontName;
    QString fontStyle;
    QString fontSize;
    bool switchOn = false;
    friend bool operator==(const ItemFields&, const ItemFields&) = default;
};

struct LayoutFields
{
    int chequeWidth = 0;
    int chequeHeight = 0;
    int pageTop = 0;
    int pageLeft = 0;
    bool horizontalFeed = false;
    bool verticalFeed = false;                      // neither is selected in a fresh designer
    std::array<ItemFields, kLayoutItemCount> items; // index = ItemId - 2

    ItemFields& item(int itemId) { return items[itemId - 2]; }
    const ItemFields& item(int itemId) const { return items[itemId - 2]; }
    friend bool operator==(const LayoutFields&, const LayoutFields&) = default;
};

// The values a freshly opened designer holds: what a first save writes.
LayoutFields StartingFields();

// Right margin <-> left edge, exact integer arithmetic. Results beyond the 32-bit range (only
// absurd typed values reach them) saturate instead of wrapping.
int RightMarginOf(int chequeWidth, int leftEdge, int width);
int LeftEdgeOf(int chequeWidth, int rightMargin, int width);
// The left edge of an item's box as its fields place it.
int BoxLeftFromFields(const LayoutFields& fields, int itemId);

// Puts the rows of a read into the fields, general row first (its cheque width turns the
// left edges of the right-measured items into right margins). Without rows nothing changes;
// a missing ItemId leaves that item's fields as they were, except the national ID: a layout
// saved before it existed shows it at its starting place, switched off.
void ApplyLayoutRows(const ChequeLayout& layout, LayoutFields& fields);

// The rows a save writes (all of them, the national ID's included). boxLeft[i] is the left edge of
// the box of ItemId i + 2 as the designer shows it. Font texts are trimmed; the size is the whole
// number of its text (0 when it holds none).
LayoutRows RowsToSave(const LayoutFields& fields, const std::array<int, kLayoutItemCount>& boxLeft);
// The row a first save writes for an item: what stands in for a row an older layout lacks.
LayoutRow StartingRowOf(int itemId);

// Style code: bit 0 bold, bit 1 italic; codes 0..3 have the names "Regular", "Bold",
// "Italic", "Bold Italic". Any other code (a style with underline or strike-out) has the
// empty name.
QString FontStyleName(quint8 code);
// Exact, case-sensitive, untrimmed. A text that is none of the four names gives 0 (Regular):
// such a style (underline, strike-out) is shown plain until a font is chosen again.
quint8 FontStyleCode(const QString& name);
// The style code of a font's bold, italic, underline and strike-out set: bits 2 and 3 mark
// underline and strike-out, which have no name.
quint8 FontStyleCodeOf(bool bold, bool italic, bool underline, bool strikeOut);
