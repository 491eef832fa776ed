#pragma once

#include "core/cheque/ChequeLayout.h"

#include <QByteArray>
#include <QObject>
#include <array>

// Everything the designer edits of one account's layout, as one value: the fields, where each
// item's box stands, the style each box shows and the cheque picture. Edits are whole states,
// so that an undo puts fields and boxes back together.
struct LayoutState
{
    LayoutFields fields;
    // The left edge of each item's box (index ItemId - 2). Usually what the fields give, but a
    // change of cheque width leaves the boxes where they stand (the right margins shown then
    // belong to the old width until the next read), so it is kept apart from the fields.
    std::array<int, kLayoutItemCount> boxLeft{};
    // The style each box shows, as FontStyleCodeOf gives it: a chosen font's underline or
    // strike-out shows on its box though the style field has no name for it.
    std::array<quint8, kLayoutItemCount> fontCode{};
    QByteArray pictureJpeg;

    // Boxes placed and styled as the fields give them.
    static LayoutState fromFields(const LayoutFields& fields, const QByteArray& pictureJpeg = {});

    int boxLeftOf(int itemId) const { return boxLeft[itemId - 2]; }
    quint8 fontCodeOf(int itemId) const { return fontCode[itemId - 2]; }

    // A typed right margin (left margin for left-measured items) moves the box.
    void setHorizontal(int itemId, int value);
    // A typed width keeps the box's measured edge: the right edge of right-measured items.
    void setWidth(int itemId, int value);
    void setTop(int itemId, int value) { fields.item(itemId).top = value; }
    // A box moved or resized over the picture: its fields follow it.
    void setBox(int itemId, int left, int top, int width);
    // A font chosen for an item: its name, size in points and style code.
    void setFont(int itemId, const QString& family, int points, quint8 code);

    // The rows a save writes, the boxes' left edges as they stand.
    LayoutRows rowsToSave() const { return RowsToSave(fields, boxLeft); }

    friend bool operator==(const LayoutState&, const LayoutState&) = default;
};

// The layout open in the designer. Its fields and boxes both show it; every change reports
// the rows it touched, so that neither has to follow the other.
class LayoutDocument final : public QObject
{
    Q_OBJECT
public:
    explicit LayoutDocument(QObject* parent = nullptr);

    const LayoutState& state() const { return state_; }
    const LayoutFields& fields() const { return state_.fields; }

    // Moves to another state: changed() for each row that differs, the general row first and
    // then the items in ItemId order, and pictureChanged() when the picture differs, all after
    // the whole state is in place.
    void setState(const LayoutState& state);
    // A state read afresh: every row and the picture report a change, whatever differs.
    void reset(const LayoutState& state);

signals:
    // kGeneralItemId for the general row (cheque size, page place, feed), else the item's.
    void changed(int itemId);
    void pictureChanged();

private:
    void assign(const LayoutState& state, bool everything);

    LayoutState state_;
};
