#include "StageCardGrid.h"

#include <algorithm>

namespace StageCardGrid {

namespace {

// Text height of a card, in name pixels.
double textLines(const CardShape &shape)
{
    return lineHeight * (shape.detailLine ? 1 + detailScale : 1);
}

// Card height and width, in name pixels.
double heightPerPixel(const CardShape &shape)
{
    return textLines(shape) / (1 - 2 * padding);
}

double widthPerPixel(const CardShape &shape)
{
    const double pad = padding * heightPerPixel(shape);
    const double photo = shape.photo ? textLines(shape) * photoAspect + pad : 0;
    return 2 * pad + photo + textEms;
}

double gapFor(QSizeF area)
{
    return std::min(area.width(), area.height()) * 0.025;
}

// The name size at which columns x rows cards fill area.
double nameFor(QSizeF area, int columns, int rows, const CardShape &shape)
{
    const double gap = gapFor(area);
    const double width = (area.width() - (columns - 1) * gap) / columns;
    const double height = (area.height() - (rows - 1) * gap) / rows;
    if (width <= 0 || height <= 0)
        return 0;
    return std::min(width / widthPerPixel(shape), height / heightPerPixel(shape));
}

struct Best {
    int columns = 1;
    double name = 0;
};

Best bestFor(QSizeF area, int count, const CardShape &shape, double maxName)
{
    if (count <= sideBySide)
        return {count, std::min(nameFor(area, count, 1, shape), maxName)};
    Best best;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const double name = std::min(nameFor(area, columns, rows, shape), maxName);
        if (name > best.name)
            best = {columns, name};
        // Wider grids only lose once a row is left.
        if (rows == 1)
            break;
    }
    return best;
}

} // namespace

Grid layOut(QSizeF area, int count, const CardShape &shape, double minName, double maxName)
{
    Grid grid;
    if (count <= 0 || area.isEmpty())
        return grid;
    int perPage = count;
    Best best = bestFor(area, count, shape, maxName);
    if (best.name < minName) {
        // Fewer cards never give smaller names, so the largest page that fits is searched for.
        int low = 1, high = count - 1;
        perPage = 1;
        while (low <= high) {
            const int mid = low + (high - low) / 2;
            if (bestFor(area, mid, shape, maxName).name >= minName) {
                perPage = mid;
                low = mid + 1;
            } else {
                high = mid - 1;
            }
        }
        best = bestFor(area, perPage, shape, maxName);
    }
    grid.columns = best.columns;
    grid.rows = (perPage + best.columns - 1) / best.columns;
    grid.perPage = perPage;
    grid.pageCount = (count + perPage - 1) / perPage;
    grid.gap = gapFor(area);
    grid.namePixels = best.name;
    grid.detailPixels = shape.detailLine ? best.name * detailScale : 0;
    grid.card = QSizeF(best.name * widthPerPixel(shape), best.name * heightPerPixel(shape));
    return grid;
}

QRectF cardRect(const Grid &grid, const QRectF &area, int index, int onPage)
{
    if (grid.columns <= 0)
        return {};
    const int rows = (onPage + grid.columns - 1) / grid.columns;
    const int row = index / grid.columns;
    // The last row, when short, is centred under the others.
    const int inRow = row + 1 < rows ? grid.columns : onPage - row * grid.columns;
    const double rowWidth = inRow * grid.card.width() + (inRow - 1) * grid.gap;
    const double blockHeight = rows * grid.card.height() + (rows - 1) * grid.gap;
    const double left = area.left() + (area.width() - rowWidth) / 2;
    const double top = area.top() + (area.height() - blockHeight) / 2;
    return QRectF(left + (index % grid.columns) * (grid.card.width() + grid.gap),
                  top + row * (grid.card.height() + grid.gap), grid.card.width(), grid.card.height());
}

QRectF photoSlot(const QRectF &card, const CardShape &shape)
{
    if (!shape.photo)
        return {};
    const double pad = padding * card.height();
    const double height = card.height() - 2 * pad;
    return QRectF(card.left() + pad, card.top() + pad, height * photoAspect, height);
}

QRectF textRect(const QRectF &card, const CardShape &shape)
{
    const double pad = padding * card.height();
    const QRectF photo = photoSlot(card, shape);
    const double left = photo.isEmpty() ? card.left() + pad : photo.right() + pad;
    return QRectF(left, card.top() + pad, card.right() - pad - left, card.height() - 2 * pad);
}

} // namespace StageCardGrid
