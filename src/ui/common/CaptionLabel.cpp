#include "CaptionLabel.h"

#include "ClickTracker.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>

CaptionLabel::CaptionLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    connect(new ClickTracker(this), &ClickTracker::clicked, this, &CaptionLabel::clicked);
}

QSizeF CaptionLabel::layOut(const std::function<void(QTextLayout &)> &laidOut) const
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const qreal em = QFontInfo(font()).pixelSize();
    // The ideographs of the CJK faces fill the em box from 0.88 em above the baseline, so
    // lines one em apart neither overlap nor leave a gap.
    const qreal ascent = 0.88 * em;

    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    // Breaks where the line-breaking rules allow (between ideographs, at blanks); a longer
    // word runs past the edge and is cut off there.
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap
                                  : QTextOption::NoWrap);

    QStringList paragraphs = text().split(lineBreak);
    // A break at the very end ends the last line; it starts no line of its own.
    if (paragraphs.size() > 1 && paragraphs.last().isEmpty())
        paragraphs.removeLast();

    qreal y = 0, widest = 0;
    for (const QString &paragraph : std::as_const(paragraphs)) {
        QTextLayout layout(paragraph, font(), const_cast<CaptionLabel *>(this));
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, y + ascent - line.ascent()));
            widest = std::max(widest, line.naturalTextWidth());
            y += em;
        }
        layout.endLayout();
        if (laidOut)
            laidOut(layout);
    }
    return QSizeF(widest, y);
}

bool CaptionLabel::textFits() const
{
    const QSizeF used = layOut(nullptr);
    return used.width() <= width() && used.height() <= height();
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setClipRect(rect());
    layOut([&](QTextLayout &layout) { layout.draw(&painter, QPointF(0, 0)); });
}
