#pragma once

#include <QRect>
#include <algorithm>

// Stored layouts may hold any 32-bit value, but a widget's geometry must stay where Qt's
// rectangle arithmetic (left + width - 1) cannot overflow. Boxes are shown clamped to
// this range; the values themselves are kept and stored as they stand.
inline constexpr qint64 kMaxShownCoordinate = 10'000'000;

inline int ShownCoordinate(qint64 v)
{
    return int(std::clamp(v, -kMaxShownCoordinate, kMaxShownCoordinate));
}

inline int ShownExtent(qint64 v)
{
    return int(std::clamp<qint64>(v, 0, kMaxShownCoordinate));
}

inline QRect ShownRect(qint64 left, qint64 top, qint64 width, qint64 height)
{
    return QRect(ShownCoordinate(left), ShownCoordinate(top), ShownExtent(width),
                 ShownExtent(height));
}
