#include "WidgetColours.h"

#include <QWidget>

namespace WidgetColours {

QColor backColor(const QWidget *widget)
{
    return widget->palette().color(widget->backgroundRole());
}

QColor foreColor(const QWidget *widget)
{
    return widget->palette().color(widget->foregroundRole());
}

void setBackColor(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
}

void setForeColor(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->foregroundRole(), colour);
    widget->setPalette(palette);
}

QColor fromBgr(unsigned int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace WidgetColours
