#pragma once

#include <QSizeF>

// Where the winner cards go: a grid that fills the cards area, with the largest text at which
// every card's text fits its card.
namespace StageCardGrid {

// What the cards hold, at a text size of one pixel.
struct CardText {
    double widestLine = 1; // width of the widest text line of any card
    int lines = 1;         // text lines a card holds
    bool photo = false;    // cards keep a slot for a photo on their left
};

struct Grid {
    int columns = 0;
    int rows = 0;
    int perPage = 0;       // cards one page holds
    int first = 0;         // index of the first card shown: the newest page
    QSizeF card;           // one card, without the gap
    double gap = 0;        // between two cards
    double textPixels = 0; // pixel size of the cards' text
};

// Photos are portraits of this width to height.
constexpr double photoAspect = 0.75;
// Padding inside a card, in parts of its height.
constexpr double padding = 0.08;
// Height of a text line, in parts of the text size.
constexpr double lineHeight = 1.3;

// count cards in area. Text grows up to maxText; below minText the cards no longer all fit
// and the grid holds as many as fit at minText (at least one), showing the newest page.
Grid layOut(QSizeF area, int count, const CardText &text, double minText, double maxText);

} // namespace StageCardGrid
