#include "StagePainting.h"

#include "GlyphCache.h"
#include "ui/common/Fonts.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace StagePainting {

namespace {

const QColor titleGold(0xFF, 0xD7, 0x40);
const QColor cardText(0x8B, 0x00, 0x00);
const QColor cardSecondText(0x40, 0x30, 0x20);
const QColor rollingGreen(0x00, 0xC0, 0x00);
const QColor stampRed(0xC8, 0x00, 0x00);

QPixmap scaledPicture(const QImage &picture, QSize box, qreal ratio)
{
    const QSize size = picture.size().scaled(box * ratio, Qt::KeepAspectRatio);
    QPixmap pixmap = QPixmap::fromImage(picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// Text with a dark shadow, readable on the backdrop's light and dark parts alike.
void shadowedText(QPainter &painter, const QRectF &area, const QString &text, const QColor &colour, int pixels)
{
    const double shadow = std::max(1, pixels / 24);
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(area.translated(shadow, shadow), Qt::AlignCenter, text);
    painter.setPen(colour);
    painter.drawText(area, Qt::AlignCenter, text);
}

// Across the card, over its second line, so that the name stays readable: white letters on a
// red band with a white edge.
void paintAbsentStamp(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.translate(rect.center().x(), rect.top() + rect.height() * 0.7);
    painter.rotate(-3);
    const double band = rect.height() * 0.36;
    const QRectF bandRect(-rect.width(), -band / 2, 2 * rect.width(), band);
    painter.setPen(QPen(Qt::white, std::max(2.0, band * 0.08)));
    painter.setBrush(stampRed);
    painter.drawRect(bandRect);
    painter.setFont(boldFont(int(band * 0.78)));
    painter.setPen(Qt::white);
    painter.drawText(bandRect, Qt::AlignCenter, u"缺 席"_s);
    painter.restore();
}

// A card's edge: its border stays inside the card, and so inside the cards area that is redrawn.
double borderOf(const QSizeF &card, bool newest)
{
    return std::max(1.0, card.height() * (newest ? 0.05 : 0.02));
}

QRectF outlineOf(const QRectF &card, bool newest)
{
    const double inside = borderOf(card.size(), newest) / 2 + 1;
    return card.adjusted(inside, inside, -inside, -inside);
}

// A card without its content; a page of cards shares one.
QPixmap cardPaper(QSizeF size, qreal ratio, bool absent, bool newest)
{
    const QSize pixels = (size * ratio).toSize();
    const QString key = u"stage-card-%1x%2-%3%4"_s.arg(pixels.width()).arg(pixels.height()).arg(absent).arg(newest);
    QPixmap paper;
    if (QPixmapCache::find(key, &paper))
        return paper;
    paper = QPixmap(pixels);
    paper.setDevicePixelRatio(ratio);
    paper.fill(Qt::transparent);
    QPainter painter(&paper);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF rect(QPointF(0, 0), size);
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    // An absent winner's card stays, greyed, so that the audience sees why a name follows.
    gradient.setColorAt(0, absent ? QColor(0xC8, 0xC8, 0xC8) : QColor(0xFF, 0xF8, 0xE1));
    gradient.setColorAt(1, absent ? QColor(0x98, 0x98, 0x98) : QColor(0xFF, 0xDF, 0x96));
    painter.setPen(QPen(newest ? QColor(0xE0, 0x20, 0x20) : QColor(0xB8, 0x86, 0x0B), borderOf(size, newest)));
    painter.setBrush(gradient);
    const double radius = rect.height() * 0.1;
    painter.drawRoundedRect(outlineOf(rect, newest), radius, radius);
    painter.end();
    QPixmapCache::insert(key, paper);
    return paper;
}

} // namespace

int fittedPixels(QFont font, const QStringList &lines, int pixels, double width)
{
    font.setPixelSize(std::max(pixels, 1));
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest <= width || widest <= 0)
        return std::max(pixels, 1);
    return std::max(1, int(pixels * width / widest));
}

QFont boldFont(int pixels)
{
    QFont font = Fonts::layoutFont(Fonts::heiti(), 10, true);
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

QString pageLabelText(int page, int pageCount)
{
    return u"第 %1/%2 页"_s.arg(page + 1).arg(pageCount);
}

void paintTitle(QPainter &painter, const QRect &area, const QString &title)
{
    const QStringList lines = title.split(u'\n');
    const int pixels = fittedPixels(boldFont(1), lines, int(area.height() / (lines.size() * 1.25)), area.width());
    painter.setFont(boldFont(pixels));
    shadowedText(painter, area, title, titleGold, pixels);
}

void paintPrizeHeading(QPainter &painter, const QRect &area, const QString &name, const QImage &picture)
{
    QPixmap pixmap;
    if (!picture.isNull())
        pixmap = scaledPicture(picture, QSize(area.width() / 3, area.height()), painter.device()->devicePixelRatioF());
    const double pictureWidth = pixmap.isNull() ? 0 : pixmap.deviceIndependentSize().width();
    const int gap = pixmap.isNull() ? 0 : area.height() / 4;
    const int pixels = fittedPixels(boldFont(1), {name}, int(area.height() * 0.7), area.width() - pictureWidth - gap);
    const QFont font = boldFont(pixels);
    const double nameWidth = QFontMetricsF(font).horizontalAdvance(name);
    double x = area.center().x() - (pictureWidth + gap + nameWidth) / 2;
    if (!pixmap.isNull()) {
        painter.drawPixmap(QPointF(x, area.top() + (area.height() - pixmap.deviceIndependentSize().height()) / 2), pixmap);
        x += pictureWidth + gap;
    }
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(x, area.top(), nameWidth + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft, name);
}

void paintPrizeShowcase(QPainter &painter, const QRect &pictureArea, const QRect &nameArea,
                        const QString &name, const QImage &picture)
{
    if (!picture.isNull()) {
        const QPixmap pixmap = scaledPicture(picture, pictureArea.size(), painter.device()->devicePixelRatioF());
        const QSizeF size = pixmap.deviceIndependentSize();
        const QPointF topLeft(pictureArea.center().x() + 0.5 - size.width() / 2,
                              pictureArea.center().y() + 0.5 - size.height() / 2);
        // A light frame lifts the picture off the backdrop.
        const double frame = std::max(2.0, pictureArea.height() * 0.012);
        painter.fillRect(QRectF(topLeft, size).adjusted(-frame, -frame, frame, frame), QColor(255, 255, 255, 200));
        painter.drawPixmap(topLeft, pixmap);
    }
    // Without a picture the name takes the middle of the screen.
    const QRect area = picture.isNull() ? pictureArea.united(nameArea) : nameArea;
    const int pixels = fittedPixels(boldFont(1), {name}, int(nameArea.height() * 0.8), area.width());
    painter.setFont(boldFont(pixels));
    shadowedText(painter, area, name, Qt::white, pixels);
}

void paintCard(QPainter &painter, Card &card, const QRectF &rect, const StageCardGrid::CardShape &shape,
               const StageCardGrid::Grid &grid, bool newest, GlyphCache &glyphs)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = rect.height() * 0.1;
    const QRectF outline = outlineOf(rect, newest);
    const qreal ratio = painter.device()->devicePixelRatioF();
    // Whole device pixels keep the copy a plain blend.
    const QPointF at(std::round(rect.left() * ratio) / ratio, std::round(rect.top() * ratio) / ratio);
    painter.drawPixmap(at, cardPaper(rect.size(), ratio, card.absent, newest));

    const QRectF slot = StageCardGrid::photoSlot(rect, shape);
    if (!slot.isEmpty() && !card.photo.isNull()) {
        const QSize wanted = (slot.size() * ratio).toSize();
        if (card.scaledPhoto.size() != wanted) {
            card.scaledPhoto = QPixmap::fromImage(
                card.photo.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            card.scaledPhoto.setDevicePixelRatio(ratio);
        }
        painter.drawPixmap(slot.topLeft(), card.scaledPhoto);
    } else if (!slot.isEmpty()) {
        // No photo: the first character of the name stands in for it.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xC8, 0xA0, 0x60));
        painter.drawRoundedRect(slot, radius / 2, radius / 2);
        painter.setFont(boldFont(int(slot.width() * 0.6)));
        painter.setPen(Qt::white);
        painter.drawText(slot, Qt::AlignCenter, card.lines.value(0).left(1));
    }

    const QRectF text = StageCardGrid::textRect(rect, shape);
    const int lineCount = shape.detailLine && card.lines.size() > 1 ? 2 : 1;
    const double nameStep = grid.namePixels * StageCardGrid::lineHeight;
    const double detailStep = grid.detailPixels * StageCardGrid::lineHeight;
    double y = text.center().y() - (nameStep + (lineCount > 1 ? detailStep : 0)) / 2;
    for (int k = 0; k < lineCount; ++k) {
        QFont font = boldFont(int(std::ceil(k == 0 ? grid.namePixels : grid.detailPixels)));
        font.setBold(k == 0);
        const QFontMetricsF metrics(font);
        const double step = k == 0 ? nameStep : detailStep;
        // A field too long for the card is shortened, never the text made smaller.
        const QString line = metrics.elidedText(card.lines[k], Qt::ElideRight, text.width());
        const double width = glyphs.width(font, line);
        const QPointF origin(text.center().x() - width / 2, y + (step - metrics.height()) / 2 + metrics.ascent());
        glyphs.drawText(painter, origin, font, k == 0 ? cardText : cardSecondText, line);
        y += step;
    }
    if (card.absent) {
        QPainterPath clip;
        clip.addRoundedRect(outline, radius, radius);
        painter.setClipPath(clip, Qt::IntersectClip);
        paintAbsentStamp(painter, outline);
    }
    painter.restore();
}

void paintPageLabel(QPainter &painter, const QRect &area, int page, int pageCount)
{
    // The strip is one and a half times its text's height.
    const int pixels = int(std::ceil(area.height() / 1.5));
    painter.setFont(boldFont(pixels));
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, pageLabelText(page, pageCount));
}

void paintBanner(QPainter &painter, const QRect &area, const QString &text, const QColor &colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 40, 150));
    painter.drawRoundedRect(area, area.height() * 0.2, area.height() * 0.2);
    const QStringList lines = text.split(u'\n');
    QFont font = Fonts::layoutFont(Fonts::songti(), 10, true);
    font.setPixelSize(fittedPixels(font, lines, int(area.height() * 0.8 / lines.size()), area.width() * 0.96));
    painter.setFont(font);
    painter.setPen(colour.isValid() ? colour : rollingGreen);
    painter.drawText(area, Qt::AlignCenter, text);
    painter.restore();
}

} // namespace StagePainting
