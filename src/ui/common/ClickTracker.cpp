#include "ClickTracker.h"

#include <QMouseEvent>

void ClickTracker::press(QMouseEvent *event)
{
    pressed = event->button() == Qt::LeftButton;
    event->accept();
}

bool ClickTracker::release(QMouseEvent *event, const QRect &area)
{
    const bool click = pressed && event->button() == Qt::LeftButton
        && area.contains(event->position().toPoint());
    pressed = false;
    event->accept();
    return click;
}
