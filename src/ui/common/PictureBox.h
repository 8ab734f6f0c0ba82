#pragma once

#include <QPixmap>
#include <QWidget>

// A picture stretched over the whole control; clicking it emits clicked().
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return image; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap image;
    QPixmap scaled; // image stretched to the control's size
    bool pressed = false;
};
