#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

// A picture stretched over the whole control; clicking it emits clicked().
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    // A picture drawn for the control's size in pixels, so that it stays sharp at any size.
    using Painter = std::function<QPixmap(QSize)>;
    void setPicture(Painter painter);
    // The picture as set, or as drawn for the control's present size.
    QPixmap picture() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap image;
    Painter painter;
    QPixmap scaled; // image stretched to the control's size
};
