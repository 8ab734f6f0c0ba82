#pragma once

#include "StageCardGrid.h"

#include <QRect>
#include <QSize>

#include <array>

// Where everything on the stage goes, from the screen's size and what is on show: a pure
// computation, so that the sizes a hall needs can be checked without painting.
namespace StageLayout {

enum class Phase {
    BeforeRun, // the prize about to be drawn, large
    Drawing,   // the rolling panel, the cards below it
    AfterRun,  // the cards own the screen; the closing text is a banner under them
};

struct Content {
    Phase phase = Phase::Drawing;
    int winners = 0;
    bool prize = false;  // a prize is named
    bool banner = false; // the closing text shows (after the run)
    StageCardGrid::CardShape cards;
    std::array<bool, 3> rollingColumns{true, true, true};
    std::array<int, 3> rollingSizes{1, 1, 1}; // the rolling rows' heights relative to each other
};

// Parts of the screen height.
constexpr double minName = 0.04;   // a name read from the back of a hall
constexpr double maxName = 0.2;    // one winner alone
constexpr double comfortableName = 0.06; // below it the rolling panel gives room to the cards
constexpr double pageLabelText = 0.03; // its strip is 1.5 times as high

struct Areas {
    QRect title;
    QRect prize;        // the prize's name (and a small picture) above the panel and the cards
    QRect prizePicture; // before the run: the picture, large
    QRect prizeName;    // before the run: the name under it
    QRect panel, panelInner;
    int frameWidth = 0;
    std::array<QRect, 3> rollingRows; // by column; empty when not shown
    QRect cards;
    QRect pageLabel; // "第 2/4 页", when there are pages
    QRect banner;
    StageCardGrid::Grid grid;
};

Areas layOut(QSize screen, const Content &content);

} // namespace StageLayout
