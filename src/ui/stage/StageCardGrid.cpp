#include "StageCardGrid.h"

#include <algorithm>
#include <cmath>

namespace StageCardGrid {

namespace {

double gapFor(QSizeF area)
{
    return std::min(area.width(), area.height()) * 0.02;
}

// Text size at which columns x rows cards fit the area.
double textFor(QSizeF area, int columns, int rows, const CardText &text, double maxText)
{
    const double gap = gapFor(area);
    const double width = (area.width() - (columns - 1) * gap) / columns;
    const double height = (area.height() - (rows - 1) * gap) / rows;
    if (width <= 0 || height <= 0)
        return 0;
    const double pad = padding * height;
    const double photoWidth = text.photo ? (height - 2 * pad) * photoAspect + pad : 0;
    const double byHeight = (height - 2 * pad) / (std::max(text.lines, 1) * lineHeight);
    const double byWidth = (width - 2 * pad - photoWidth) / std::max(text.widestLine, 0.01);
    return std::max(0.0, std::min({byHeight, byWidth, maxText}));
}

struct Best {
    int columns = 1;
    double text = 0;
};

Best bestFor(QSizeF area, int count, const CardText &text, double maxText)
{
    Best best;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const double t = textFor(area, columns, rows, text, maxText);
        if (t > best.text) {
            best = {columns, t};
        }
        // Wider grids only lose once a row is left.
        if (rows == 1)
            break;
    }
    return best;
}

} // namespace

Grid layOut(QSizeF area, int count, const CardText &text, double minText, double maxText)
{
    Grid grid;
    if (count <= 0 || area.isEmpty())
        return grid;
    int perPage = count;
    Best best = bestFor(area, count, text, maxText);
    if (best.text < minText) {
        // More cards never give larger text, so the largest page that fits is searched for.
        int low = 1, high = count - 1;
        perPage = 1;
        while (low <= high) {
            const int mid = low + (high - low) / 2;
            if (bestFor(area, mid, text, maxText).text >= minText) {
                perPage = mid;
                low = mid + 1;
            } else {
                high = mid - 1;
            }
        }
        best = bestFor(area, perPage, text, maxText);
    }
    grid.columns = best.columns;
    grid.rows = (perPage + best.columns - 1) / best.columns;
    grid.perPage = perPage;
    grid.first = (count - 1) / perPage * perPage;
    grid.gap = gapFor(area);
    // Cards no larger than their text needs: one winner is a card, not a banner.
    const double t = best.text;
    const double cellWidth = (area.width() - (grid.columns - 1) * grid.gap) / grid.columns;
    const double cellHeight = (area.height() - (grid.rows - 1) * grid.gap) / grid.rows;
    const double height = std::min(cellHeight, t * std::max(text.lines, 1) * lineHeight / (1 - 2 * padding));
    const double pad = padding * height;
    const double photoWidth = text.photo ? (height - 2 * pad) * photoAspect + pad : 0;
    const double width = 2 * pad + photoWidth + t * text.widestLine * 1.15;
    grid.card = QSizeF(std::min(cellWidth, std::max(width, height * 1.6)), height);
    grid.textPixels = t;
    return grid;
}

} // namespace StageCardGrid
