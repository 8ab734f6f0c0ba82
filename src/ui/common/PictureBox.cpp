#include "PictureBox.h"

#include "ClickTracker.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    connect(new ClickTracker(this), &ClickTracker::clicked, this, &PictureBox::clicked);
}

void PictureBox::setPicture(const QPixmap &picture)
{
    image = picture;
    painter = nullptr;
    scaled = QPixmap();
    update();
}

void PictureBox::setPicture(Painter draw)
{
    painter = std::move(draw);
    image = QPixmap();
    scaled = QPixmap();
    update();
}

QPixmap PictureBox::picture() const
{
    return painter ? painter(size()) : image;
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    if (image.isNull() && !painter)
        return;
    // Everything drawn over a backdrop repaints it, so it is drawn once per size only.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (pixels.isEmpty())
        return;
    if (scaled.size() != pixels) {
        scaled = painter ? painter(pixels)
                         : image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
    }
    QPainter p(this);
    const QRect r = event->rect();
    p.drawPixmap(r, scaled, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}
