#pragma once

#include <QObject>

class QWidget;

// Turns a press and a release of the left button inside a control into one click, as a button
// does, and emits clicked(). It watches the control it is made for and accepts both events, so
// that the release comes back to the control.
class ClickTracker : public QObject
{
    Q_OBJECT

public:
    explicit ClickTracker(QWidget *control);

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *control;
    bool pressed = false;
};
