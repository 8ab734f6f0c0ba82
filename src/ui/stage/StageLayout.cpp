#include "StageLayout.h"

#include <algorithm>
#include <cmath>

namespace StageLayout {

namespace {

// Parts of the screen height.
constexpr double margin = 0.02;
constexpr double titleHeight = 0.10;
constexpr double prizeHeight = 0.08;
constexpr double largePanel = 0.34, smallPanel = 0.22;
constexpr double frameHeight = 0.012;
constexpr double bannerHeight = 0.09;
// Before the run: the prize's picture, and its name under it.
constexpr double showcaseName = 0.14;

int px(double value)
{
    return int(std::lround(value));
}

// The cards in area; when they need pages, a strip under them says which page shows.
void placeCards(Areas &areas, QRect area, int winners, const StageCardGrid::CardShape &shape, int h)
{
    areas.grid = StageCardGrid::layOut(QSizeF(area.size()), winners, shape, minName * h, maxName * h);
    if (areas.grid.pageCount > 1) {
        const int strip = px(pageLabelText * 1.5 * h);
        areas.pageLabel = QRect(area.left(), area.bottom() + 1 - strip, area.width(), strip);
        area.setBottom(areas.pageLabel.top() - 1);
        areas.grid = StageCardGrid::layOut(QSizeF(area.size()), winners, shape, minName * h, maxName * h);
    }
    areas.cards = area;
}

void placePanel(Areas &areas, const Content &content, int top, double part, int w, int h)
{
    const int m = px(margin * h);
    areas.panel = QRect(m, top, w - 2 * m, px(part * h));
    areas.frameWidth = std::max(2, px(frameHeight * h));
    const int f = areas.frameWidth;
    areas.panelInner = areas.panel.adjusted(f, f, -f, -f);
    // The shown rows share the panel in proportion to their sizes.
    int total = 0;
    for (int k = 0; k < 3; ++k)
        total += content.rollingColumns[k] ? std::max(content.rollingSizes[k], 1) : 0;
    int y = areas.panelInner.top();
    for (int k = 0; k < 3; ++k) {
        const int rowHeight = content.rollingColumns[k] && total > 0
                                  ? areas.panelInner.height() * std::max(content.rollingSizes[k], 1) / total
                                  : 0;
        areas.rollingRows[k] = rowHeight > 0 ? QRect(areas.panelInner.left(), y, areas.panelInner.width(), rowHeight)
                                             : QRect();
        y += rowHeight;
    }
}

} // namespace

Areas layOut(QSize screen, const Content &content)
{
    Areas areas;
    const int w = screen.width(), h = screen.height();
    if (w <= 0 || h <= 0)
        return areas;
    const int m = px(margin * h);
    areas.title = QRect(m, m, w - 2 * m, px(titleHeight * h));
    int top = areas.title.bottom() + 1;
    const int bottom = h - m - 1;

    if (content.phase == Phase::BeforeRun && content.prize) {
        top += m;
        const int nameHeight = px(showcaseName * h);
        areas.prizeName = QRect(m, bottom + 1 - nameHeight, w - 2 * m, nameHeight);
        areas.prizePicture = QRect(m, top, w - 2 * m, areas.prizeName.top() - m / 2 - top);
        return areas;
    }
    if (content.prize) {
        areas.prize = QRect(m, top, w - 2 * m, px(prizeHeight * h));
        top = areas.prize.bottom() + 1;
    }
    top += m / 2;

    if (content.phase == Phase::AfterRun) {
        QRect cards(m, top, w - 2 * m, bottom + 1 - top);
        if (content.banner) {
            areas.banner = QRect(m, bottom + 1 - px(bannerHeight * h), w - 2 * m, px(bannerHeight * h));
            cards.setBottom(areas.banner.top() - m / 2 - 1);
        }
        placeCards(areas, cards, content.winners, content.cards, h);
        return areas;
    }

    for (const double part : {largePanel, smallPanel}) {
        placePanel(areas, content, top, part, w, h);
        areas.pageLabel = QRect();
        placeCards(areas, QRect(m, areas.panel.bottom() + 1 + m, w - 2 * m, bottom - areas.panel.bottom() - m),
                   content.winners, content.cards, h);
        if (content.winners == 0
            || (areas.grid.pageCount <= 1 && areas.grid.namePixels >= comfortableName * h))
            break;
    }
    return areas;
}

} // namespace StageLayout
