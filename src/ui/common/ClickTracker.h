#pragma once

#include <QRect>

class QMouseEvent;

// Turns a press and a release of the left button inside a control into one click, as a button
// does. The control accepts both events, so that the release comes back to it.
class ClickTracker
{
public:
    void press(QMouseEvent *event);
    // True when this release completes a click inside area.
    bool release(QMouseEvent *event, const QRect &area);

private:
    bool pressed = false;
};
