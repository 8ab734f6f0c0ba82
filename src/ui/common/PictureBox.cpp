#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap &picture)
{
    image = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), image);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    // Accepted, so that the release comes here as well.
    pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
