#include "ColouredFrame.h"

#include <QPainter>
#include <qdrawutil.h>

ColouredFrame::ColouredFrame(const QColor &back, const QColor &caption, QWidget *parent)
    : QGroupBox(parent), back(back), caption(caption)
{
}

void ColouredFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), back);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    qDrawShadeRect(&painter, 0, lineY, width(), height() - lineY, palette(), true, 1);
    if (title().isEmpty())
        return;
    const QRect text(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(text, back);
    painter.setPen(caption);
    painter.drawText(text, Qt::AlignCenter, title());
}
