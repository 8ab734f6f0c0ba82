#pragma once

#include <QLabel>

#include <functional>

class QTextLayout;

// A label as the window layouts assume it: plain text from the top, lines as far apart as
// the font's size (the layouts were measured with such faces, while the CJK faces here would
// space lines almost half as far again), CR LF or LF as line breaks, long lines wrapped at the
// label's width, and a click signal for the labels that act as links.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget *parent = nullptr);

    // Whether every line of the text lies whole inside the label.
    bool textFits() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Lays out the text line by line; returns the height used and the widest line.
    QSizeF layOut(const std::function<void(QTextLayout &)> &laidOut) const;
};
