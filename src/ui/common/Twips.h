#pragma once

#include <QRect>

#include <cmath>

// Layouts are given in twips: 15 to a pixel at 96 dpi. A factor scales the whole layout.
namespace Twips {

inline int toPixels(int twips, double factor = 1.0)
{
    return static_cast<int>(std::lround(twips * factor / 15.0));
}

inline QRect rect(int left, int top, int width, int height, double factor = 1.0)
{
    // Edges are rounded, not sizes, so neighbouring controls keep meeting exactly.
    const int x = toPixels(left, factor), y = toPixels(top, factor);
    return QRect(x, y, toPixels(left + width, factor) - x, toPixels(top + height, factor) - y);
}

} // namespace Twips
