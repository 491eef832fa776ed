#include "core/cheque/ChequeLayout.h"

#include "core/ProgramFont.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int saturate(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

// The whole number of a text without its blanks; 0 when it holds none.
int wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

const std::array<LayoutItemInfo, kLayoutItemCount>& LayoutItems()
{
    using enum MeasuredFrom;
    static const std::array<LayoutItemInfo, kLayoutItemCount> items{{
        {2, u"lblNumericDate"_s, u"تاريخ عددي"_s, u"تاريخ عددي"_s, Right, ItemSwitch::None},
        {3, u"lblAlphabeticDate"_s, u"تاريخ حرفي"_s, u"تاريخ به حروف"_s, Right,
         ItemSwitch::DoPrint},
        {4, u"lblNumericPrice"_s, u"مبلغ عددي"_s, u"مبلغ چك بعدد"_s, Left, ItemSwitch::None},
        {5, u"lblAlphabeticPrice1"_s, u"مبلغ حرفي"_s, u"مبلغ چك بحروف"_s, Right,
         ItemSwitch::PrintTumans},
        {6, u"lblCustomer"_s, u"گيرنده"_s, u"گيرنده چك"_s, Right, ItemSwitch::None},
        {7, u"lblPerferaj"_s, u"پرفراژ"_s, u"Perforate"_s, Left, ItemSwitch::DoPrint, true},
        {8, u"lblDescription"_s, u"توضيحات"_s, u"توضيحات"_s, Right, ItemSwitch::DoPrint},
        {9, u"lblConstatnt"_s, u"متن ثابت"_s, u"//فاقد قلم خوردگي و پشت نويسي//"_s, Left,
         ItemSwitch::DoPrint},
        {10, u"lblCover"_s, u"پوشش حواله كرد"_s, QString(75, u'*'), Left, ItemSwitch::DoPrint,
         false, true},
        // Digits in the bank's order, left to right, as on the leaf's own box.
        {11, u"lblNationalId"_s, u"شناسه ملي گيرنده"_s, u"0123456789"_s, Left, ItemSwitch::DoPrint,
         true},
    }};
    return items;
}

const LayoutItemInfo& LayoutItemOf(int itemId)
{
    Q_ASSERT(itemId >= kFirstLayoutItemId && itemId <= kLastLayoutItemId);
    return LayoutItems()[std::clamp(itemId, kFirstLayoutItemId, kLastLayoutItemId) - 2];
}

QString GeneralTabCaption()
{
    return u"عمومي"_s;
}

LayoutFields StartingFields()
{
    LayoutFields f;
    f.chequeWidth = 650;
    f.chequeHeight = 320;
    const QString tahoma = ProgramFontFamily();
    const QString regular = u"Regular"_s;
    const QString bold = u"Bold"_s;
    f.item(2) = {36, 39, 52, tahoma, regular, u"8"_s, false};
    f.item(3) = {48, 69, 63, tahoma, regular, u"8"_s, true};
    f.item(4) = {51, 218, 62, u"2  Yekan"_s, regular, u"12"_s, false};
    f.item(5) = {124, 136, 72, tahoma, regular, u"8"_s, false};
    f.item(6) = {51, 177, 47, tahoma, regular, u"8"_s, false};
    f.item(7) = {60, 56, 90, u"Niagara Engraved"_s, bold, u"20"_s, true};
    f.item(8) = {78, 193, 40, tahoma, regular, u"8"_s, false};
    f.item(9) = {20, 253, 168, tahoma, regular, u"8"_s, true};
    f.item(10) = {22, 167, 115, u"Microsoft Sans Serif"_s, bold, u"36"_s, true};
    // Left of the payee's line, where the Sayad leaf keeps its box; off until placed.
    f.item(11) = {40, 120, 110, tahoma, regular, u"10"_s, false};
    return f;
}

int RightMarginOf(int chequeWidth, int leftEdge, int width)
{
    return saturate(qint64(chequeWidth) - leftEdge - width);
}

int LeftEdgeOf(int chequeWidth, int rightMargin, int width)
{
    return saturate(qint64(chequeWidth) - rightMargin - width);
}

int BoxLeftFromFields(const LayoutFields& fields, int itemId)
{
    const ItemFields& item = fields.item(itemId);
    return LayoutItemOf(itemId).side == MeasuredFrom::Right
               ? LeftEdgeOf(fields.chequeWidth, item.horizontal, item.width)
               : item.horizontal;
}

void ApplyLayoutRows(const ChequeLayout& layout, LayoutFields& fields)
{
    if (!layout.hasRows)
        return;
    if (layout.present[0]) {
        const LayoutRow& g = layout.general();
        fields.chequeWidth = g.sideMargin;
        fields.chequeHeight = g.upMargin;
        fields.pageTop = g.width;
        fields.pageLeft = g.fontSize;
        fields.horizontalFeed = g.printTumans;
        fields.verticalFeed = !g.printTumans;
    }
    for (const LayoutItemInfo& info : LayoutItems()) {
        if (!layout.present[info.itemId - 1]) {
            if (info.itemId == kNationalIdItemId)
                fields.item(info.itemId) = StartingFields().item(info.itemId);
            continue;
        }
        const LayoutRow& row = layout.item(info.itemId);
        ItemFields& item = fields.item(info.itemId);
        item.horizontal = info.side == MeasuredFrom::Right
                              ? RightMarginOf(fields.chequeWidth, row.sideMargin, row.width)
                              : row.sideMargin;
        item.top = row.upMargin;
        item.width = row.width;
        item.fontName = row.fontName;
        item.fontStyle = row.fontStyle;
        item.fontSize = QString::number(row.fontSize);
        if (info.itemSwitch == ItemSwitch::DoPrint)
            item.switchOn = row.doPrint;
        else if (info.itemSwitch == ItemSwitch::PrintTumans)
            item.switchOn = row.printTumans;
    }
}

LayoutRows RowsToSave(const LayoutFields& fields, const std::array<int, kLayoutItemCount>& boxLeft)
{
    LayoutRows rows;
    LayoutRow& g = rows[0];
    g.itemId = kGeneralItemId;
    g.sideMargin = fields.chequeWidth;
    g.upMargin = fields.chequeHeight;
    g.width = fields.pageTop;
    g.fontSize = fields.pageLeft;
    g.printTumans = fields.horizontalFeed;
    for (const LayoutItemInfo& info : LayoutItems()) {
        const ItemFields& item = fields.item(info.itemId);
        LayoutRow& row = rows[info.itemId - 1];
        row.itemId = info.itemId;
        row.sideMargin = boxLeft[info.itemId - 2];
        row.upMargin = item.top;
        row.width = item.width;
        row.fontSize = wholeNumber(item.fontSize);
        row.fontName = item.fontName.trimmed();
        row.fontStyle = item.fontStyle.trimmed();
        row.doPrint = info.itemSwitch == ItemSwitch::DoPrint && item.switchOn;
        row.printTumans = info.itemSwitch == ItemSwitch::PrintTumans && item.switchOn;
    }
    return rows;
}

LayoutRow StartingRowOf(int itemId)
{
    const LayoutFields fields = StartingFields();
    std::array<int, kLayoutItemCount> boxLeft{};
    for (const LayoutItemInfo& info : LayoutItems())
        boxLeft[info.itemId - 2] = BoxLeftFromFields(fields, info.itemId);
    return RowsToSave(fields, boxLeft)[std::clamp(itemId, kGeneralItemId, kLastLayoutItemId) - 1];
}

QString FontStyleName(quint8 code)
{
    switch (code) {
    case 0:
        return u"Regular"_s;
    case 1:
        return u"Bold"_s;
    case 2:
        return u"Italic"_s;
    case 3:
        return u"Bold Italic"_s;
    default:
        return {};
    }
}

quint8 FontStyleCode(const QString& name)
{
    for (quint8 code = 1; code <= 3; ++code)
        if (name == FontStyleName(code))
            return code;
    return 0;
}

quint8 FontStyleCodeOf(bool bold, bool italic, bool underline, bool strikeOut)
{
    return quint8((bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeOut ? 8 : 0));
}
