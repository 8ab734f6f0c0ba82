#pragma once

#include "StageCardGrid.h"
#include "entries/EntryTable.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>

class GlyphCache;
class QColor;
class QFont;
class QPainter;
class QRect;
class QRectF;

// How the stage's parts look, each painted into the area the layout gives it.
namespace StagePainting {

struct Card {
    EntryRecord entry;
    QStringList lines;   // the name, then the other shown fields on one line
    QImage photo;        // decoded once, at most a few hundred pixels high
    QPixmap scaledPhoto; // at the card's size
    bool absent = false;
};

// The largest pixel size up to pixels at which every line of text fits width.
int fittedPixels(QFont font, const QStringList &lines, int pixels, double width);
QFont boldFont(int pixels);

QString pageLabelText(int page, int pageCount); // page 0-based

void paintTitle(QPainter &painter, const QRect &area, const QString &title);
// The prize's name beside a picture the height of area (during and after a run).
void paintPrizeHeading(QPainter &painter, const QRect &area, const QString &name, const QImage &picture);
// Before the run: the picture as large as pictureArea allows, the name large under it.
void paintPrizeShowcase(QPainter &painter, const QRect &pictureArea, const QRect &nameArea,
                        const QString &name, const QImage &picture);
// The text comes from glyphs: a page of names at 4K is too large for the painter's own cache.
void paintCard(QPainter &painter, Card &card, const QRectF &rect, const StageCardGrid::CardShape &shape,
               const StageCardGrid::Grid &grid, bool newest, GlyphCache &glyphs);
void paintPageLabel(QPainter &painter, const QRect &area, int page, int pageCount);
// The closing text in its own strip; an invalid colour gives the text its own.
void paintBanner(QPainter &painter, const QRect &area, const QString &text, const QColor &colour);

} // namespace StagePainting
