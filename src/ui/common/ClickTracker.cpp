#include "ClickTracker.h"

#include <QMouseEvent>
#include <QWidget>

ClickTracker::ClickTracker(QWidget *control) : QObject(control), control(control)
{
    control->installEventFilter(this);
}

bool ClickTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != control)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: { // the second press of a double click is a press too
        auto *mouse = static_cast<QMouseEvent *>(event);
        pressed = mouse->button() == Qt::LeftButton;
        mouse->accept();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool click = pressed && mouse->button() == Qt::LeftButton
            && control->rect().contains(mouse->position().toPoint());
        pressed = false;
        mouse->accept();
        if (click)
            emit clicked();
        return true;
    }
    default:
        return false;
    }
}
