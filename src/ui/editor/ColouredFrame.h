#pragma once

#include <QColor>
#include <QGroupBox>

// A captioned frame filled with its own back colour, the caption drawn on that colour across
// the top edge. Children are placed by the caller, relative to the frame's corner.
class ColouredFrame : public QGroupBox
{
    Q_OBJECT

public:
    ColouredFrame(const QColor &back, const QColor &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor back;
    QColor caption;
};
