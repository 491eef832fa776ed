#include "core/cheque/LayoutDocument.h"

#include <utility>

namespace {

bool measuredFromRight(int itemId)
{
    return LayoutItemOf(itemId).side == MeasuredFrom::Right;
}

bool generalDiffers(const LayoutFields& a, const LayoutFields& b)
{
    return a.chequeWidth != b.chequeWidth || a.chequeHeight != b.chequeHeight ||
           a.pageTop != b.pageTop || a.pageLeft != b.pageLeft ||
           a.horizontalFeed != b.horizontalFeed || a.verticalFeed != b.verticalFeed;
}

} // namespace

LayoutState LayoutState::fromFields(const LayoutFields& fields, const QByteArray& pictureJpeg)
{
    LayoutState s;
    s.fields = fields;
    s.pictureJpeg = pictureJpeg;
    for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id) {
        s.boxLeft[id - 2] = BoxLeftFromFields(fields, id);
        s.fontCode[id - 2] = FontStyleCode(fields.item(id).fontStyle.trimmed());
    }
    return s;
}

void LayoutState::setHorizontal(int itemId, int value)
{
    ItemFields& item = fields.item(itemId);
    item.horizontal = value;
    boxLeft[itemId - 2] =
        measuredFromRight(itemId) ? LeftEdgeOf(fields.chequeWidth, value, item.width) : value;
}

void LayoutState::setWidth(int itemId, int value)
{
    ItemFields& item = fields.item(itemId);
    item.width = value;
    if (measuredFromRight(itemId))
        boxLeft[itemId - 2] = LeftEdgeOf(fields.chequeWidth, item.horizontal, value);
}

void LayoutState::setBox(int itemId, int left, int top, int width)
{
    ItemFields& item = fields.item(itemId);
    item.horizontal =
        measuredFromRight(itemId) ? RightMarginOf(fields.chequeWidth, left, width) : left;
    item.top = top;
    item.width = width;
    boxLeft[itemId - 2] = left;
}

void LayoutState::setFont(int itemId, const QString& family, int points, quint8 code)
{
    ItemFields& item = fields.item(itemId);
    item.fontName = family;
    item.fontSize = QString::number(points);
    item.fontStyle = FontStyleName(code);
    fontCode[itemId - 2] = code;
}

LayoutDocument::LayoutDocument(QObject* parent)
    : QObject(parent), state_(LayoutState::fromFields(LayoutFields{}))
{}

void LayoutDocument::setState(const LayoutState& state)
{
    assign(state, false);
}

void LayoutDocument::reset(const LayoutState& state)
{
    assign(state, true);
}

void LayoutDocument::assign(const LayoutState& state, bool everything)
{
    // The notices compare the two states as they were: a receiver may change the document.
    const LayoutState old = std::exchange(state_, state);
    const LayoutState now = state;
    if (everything || generalDiffers(old.fields, now.fields))
        emit changed(kGeneralItemId);
    for (int id = kFirstLayoutItemId; id <= kLastLayoutItemId; ++id) {
        const int i = id - 2;
        if (everything || old.fields.item(id) != now.fields.item(id) ||
            old.boxLeft[i] != now.boxLeft[i] || old.fontCode[i] != now.fontCode[i])
            emit changed(id);
    }
    if (everything || old.pictureJpeg != now.pictureJpeg)
        emit pictureChanged();
}
