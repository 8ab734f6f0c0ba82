#include "Pictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace Pictures {

namespace {

QPainterPath star(QPointF centre, qreal outer, qreal inner, int points = 5)
{
    QPainterPath path;
    for (int k = 0; k < 2 * points; ++k) {
        const qreal r = (k % 2 == 0) ? outer : inner;
        const qreal a = -std::numbers::pi / 2 + k * std::numbers::pi / points;
        const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (k == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QPixmap windowIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QPointF centre(s / 2, s / 2);

    QRadialGradient ball(QPointF(s * 0.38, s * 0.34), s * 0.62);
    ball.setColorAt(0, QColor(255, 140, 120));
    ball.setColorAt(0.45, QColor(220, 30, 30));
    ball.setColorAt(1, QColor(120, 0, 0));
    p.setPen(QPen(QColor(90, 0, 0), s / 32));
    p.setBrush(ball);
    p.drawEllipse(centre, s * 0.46, s * 0.46);

    p.setPen(QPen(QColor(150, 90, 0), s / 48));
    p.setBrush(QColor(255, 205, 40));
    p.drawPath(star(centre + QPointF(0, s * 0.02), s * 0.28, s * 0.12));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(s * 0.32, s * 0.26), s * 0.09, s * 0.05);
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap displayBackdrop(QSize size)
{
    const int w = 506, h = 389;
    QImage image = canvas(size.width(), size.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / qreal(w), size.height() / qreal(h));

    QRadialGradient glow(QPointF(w / 2.0, h / 2.0), w * 0.65);
    glow.setColorAt(0, QColor(28, 44, 110));
    glow.setColorAt(0.55, QColor(14, 22, 62));
    glow.setColorAt(1, QColor(4, 6, 22));
    p.fillRect(QRectF(0, 0, w, h), glow);

    // Faint rays from the centre.
    p.setPen(Qt::NoPen);
    const QPointF centre(w / 2.0, h / 2.0);
    const int rays = 24;
    for (int k = 0; k < rays; k += 2) {
        const qreal a0 = k * 2 * std::numbers::pi / rays, a1 = (k + 1) * 2 * std::numbers::pi / rays;
        QPainterPath ray(centre);
        ray.lineTo(centre + QPointF(w * std::cos(a0), w * std::sin(a0)));
        ray.lineTo(centre + QPointF(w * std::cos(a1), w * std::sin(a1)));
        ray.closeSubpath();
        p.setBrush(QColor(120, 150, 255, 14));
        p.drawPath(ray);
    }

    // Gold sparks at fixed places: a small linear congruential walk, so the picture never changes.
    quint32 state = 20240315u;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % quint32(range));
    };
    for (int k = 0; k < 70; ++k) {
        const QPointF at(next(w), next(h));
        const qreal size = 1.0 + next(30) / 10.0;
        const int alpha = 70 + next(150);
        if (k % 7 == 0) {
            p.setBrush(QColor(255, 210, 80, alpha));
            p.drawPath(star(at, size * 2.2, size * 0.9));
        } else {
            p.setBrush(QColor(255, 225, 140, alpha));
            p.drawEllipse(at, size * 0.6, size * 0.6);
        }
    }

    // A thin gold edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 160, 60, 160), 3));
    p.drawRect(QRectF(6, 6, w - 12, h - 12));
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap triangle(Pointing direction, QSize size)
{
    const int s = 32;
    QImage image = canvas(size.width(), size.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / qreal(s), size.height() / qreal(s));
    QPainterPath path;
    if (direction == Pointing::Left) {
        path.moveTo(6, s / 2.0);
        path.lineTo(26, 3);
        path.lineTo(26, s - 3);
    } else {
        path.moveTo(26, s / 2.0);
        path.lineTo(6, 3);
        path.lineTo(6, s - 3);
    }
    path.closeSubpath();
    QLinearGradient fill(0, 0, s, s);
    fill.setColorAt(0, QColor(90, 140, 255));
    fill.setColorAt(1, QColor(20, 50, 170));
    p.setPen(QPen(QColor(10, 30, 110), 1.5));
    p.setBrush(fill);
    p.drawPath(path);
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace Pictures
