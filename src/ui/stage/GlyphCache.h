#pragma once

#include <QCache>
#include <QImage>
#include <QString>

class QColor;
class QFont;
class QPainter;
class QPointF;

// Large text drawn glyph by glyph from pictures kept in memory. The painter draws glyphs above
// 64 pixels from their outlines every time, which costs a millisecond a name on a 4K screen;
// each glyph here is drawn from its outline once, at the device's pixels, so it stays sharp.
class GlyphCache
{
public:
    explicit GlyphCache(qint64 maxBytes = 64 << 20);
    GlyphCache(const GlyphCache &) = delete;
    GlyphCache &operator=(const GlyphCache &) = delete;

    // Width of text in font, as drawText lays it out.
    double width(const QFont &font, const QString &text);
    // text with the start of its baseline at origin. Scripts whose letters join or combine are
    // drawn by the painter itself.
    void drawText(QPainter &painter, const QPointF &origin, const QFont &font, const QColor &colour,
                  const QString &text);

private:
    struct Glyph {
        QImage image;   // coloured, at the device pixel ratio
        double advance = 0;
        double left = 0, top = 0; // of the image, from the glyph's origin
    };
    const Glyph *glyph(const QFont &font, const QColor &colour, char32_t code, qreal ratio);

    QCache<QString, Glyph> glyphs;
};
