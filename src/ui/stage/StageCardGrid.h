#pragma once

#include <QRectF>
#include <QSizeF>

// Where the winner cards go and how large their text is. The size comes from the count and the
// room, never from the text: a field too long for its card is shortened, so one long department
// name cannot shrink every card.
namespace StageCardGrid {

// What every card keeps room for.
struct CardShape {
    bool detailLine = true; // a second line under the name
    bool photo = false;     // a portrait slot on the left
};

struct Grid {
    int columns = 0;
    int rows = 0;
    int perPage = 0;   // cards one page holds
    int pageCount = 0;
    QSizeF card;       // one card, without the gap
    double gap = 0;    // between two cards
    double namePixels = 0;
    double detailPixels = 0;
};

// Portraits, width to height.
constexpr double photoAspect = 0.75;
// Padding inside a card, in parts of its height.
constexpr double padding = 0.1;
// Height of a text line, in parts of its text size.
constexpr double lineHeight = 1.25;
// The second line's text against the name's.
constexpr double detailScale = 0.625;
// Room for the text, in name-sized characters: a Chinese name and an ID with a department.
constexpr double textEms = 6;
// Up to this many cards stand side by side in one row, large.
constexpr int sideBySide = 3;

// count cards in area with names from minName up to maxName pixels. Below minName the cards are
// paged: a page holds as many as fit at minName (at least one).
Grid layOut(QSizeF area, int count, const CardShape &shape, double minName, double maxName);

// Card index (0-based, on its page) within area, the page's cards centred as a block.
QRectF cardRect(const Grid &grid, const QRectF &area, int index, int onPage);

// Inside a card of this height: the padding, the photo slot (empty without a photo) and the text.
QRectF photoSlot(const QRectF &card, const CardShape &shape);
QRectF textRect(const QRectF &card, const CardShape &shape);

} // namespace StageCardGrid
