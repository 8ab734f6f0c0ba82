#include "GlyphCache.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QStringView>

#include <cmath>

namespace {

// Scripts drawn one glyph after another without shaping.
bool drawnGlyphByGlyph(const QString &text)
{
    for (const char32_t code : QStringView(text).toUcs4()) {
        switch (QChar::script(code)) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
            break;
        default:
            return false;
        }
    }
    return true;
}

double snapped(double value, qreal ratio)
{
    return std::round(value * ratio) / ratio;
}

} // namespace

GlyphCache::GlyphCache(qint64 maxBytes)
    : glyphs(maxBytes)
{
}

const GlyphCache::Glyph *GlyphCache::glyph(const QFont &font, const QColor &colour, char32_t code,
                                           qreal ratio)
{
    const QString key = font.key() + QString::number(font.pixelSize()) + u'|'
                        + QString::number(colour.rgba()) + u'|' + QString::number(ratio) + u'|'
                        + QString::number(code);
    if (const Glyph *found = glyphs.object(key))
        return found;

    const QString text = QString::fromUcs4(&code, 1);
    const QFontMetricsF metrics(font);
    auto made = std::make_unique<Glyph>();
    made->advance = metrics.horizontalAdvance(text);
    // Room for what a bold or slanted glyph draws beyond its advance.
    const double pad = std::ceil(font.pixelSize() * 0.15);
    made->left = -pad;
    made->top = -metrics.ascent() - pad;
    const QSizeF size(made->advance + 2 * pad, metrics.ascent() + metrics.descent() + 2 * pad);
    made->image = QImage((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    made->image.setDevicePixelRatio(ratio);
    made->image.fill(Qt::transparent);
    QPainter painter(&made->image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(pad, pad + metrics.ascent()), text);
    painter.end();
    const qint64 bytes = made->image.sizeInBytes();
    const Glyph *kept = made.get();
    // A glyph larger than the whole cache is drawn directly.
    return glyphs.insert(key, made.release(), bytes) ? kept : nullptr;
}

double GlyphCache::width(const QFont &font, const QString &text)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

void GlyphCache::drawText(QPainter &painter, const QPointF &origin, const QFont &font,
                          const QColor &colour, const QString &text)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (!drawnGlyphByGlyph(text) || font.pixelSize() <= 0) {
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(origin, text);
        return;
    }
    double x = origin.x();
    const double y = origin.y();
    for (const char32_t code : QStringView(text).toUcs4()) {
        const Glyph *g = glyph(font, colour, code, ratio);
        if (!g) {
            painter.setFont(font);
            painter.setPen(colour);
            painter.drawText(QPointF(x, y), QString::fromUcs4(&code, 1));
            x += QFontMetricsF(font).horizontalAdvance(QString::fromUcs4(&code, 1));
            continue;
        }
        // Whole device pixels keep the copy a plain blend.
        painter.drawImage(QPointF(snapped(x + g->left, ratio), snapped(y + g->top, ratio)), g->image);
        x += g->advance;
    }
}
