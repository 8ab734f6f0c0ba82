#pragma once

#include <QColor>

class QWidget;

// Back and text colours of a control, as the layout gives them, kept in its palette.
namespace WidgetColours {

QColor backColor(const QWidget *widget);
QColor foreColor(const QWidget *widget);

// The back colour shows only on a control that fills its background (an opaque one).
void setBackColor(QWidget *widget, const QColor &colour);
void setForeColor(QWidget *widget, const QColor &colour);

// A Windows colour value in the 0x00BBGGRR form.
QColor fromBgr(unsigned int value);

} // namespace WidgetColours
