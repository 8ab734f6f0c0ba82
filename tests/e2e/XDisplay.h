#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QProcess>
#include <QString>
#include <QStringList>

// A private X server (Xvfb) for the end-to-end tests, and what they do on it: find a process's
// windows, send real key presses and mouse clicks (xdotool, through the XTEST extension), read
// a pixel and ask a window to close as a window manager would.
// There is no window manager: top-level windows are children of the root window, and window
// coordinates are client-area coordinates.
class XDisplay
{
public:
    struct Window {
        unsigned long id = 0;
        QString title;
    };

    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay &) = delete;
    XDisplay &operator=(const XDisplay &) = delete;

    // The tools the tests need, by name, that are not on the search path.
    static QStringList missingTools();

    // Starts Xvfb on a free display number and connects to it. Empty on success, else why not.
    QString start();
    // The environment for a program that shows its windows here.
    QProcessEnvironment environment() const;

    // The mapped top-level windows of process pid.
    QList<Window> windowsOf(qint64 pid) const;

    // Each returns an empty string on success, otherwise what went wrong.
    QString click(unsigned long window, QPoint position, int count = 1);
    QString focus(unsigned long window);
    QString keys(unsigned long window, const QStringList &keys);
    QString type(unsigned long window, const QString &text);
    // WM_DELETE_WINDOW, as a window manager sends it when the close box is clicked.
    QString requestClose(unsigned long window);

    // The colours shown in area of window as 0xRRGGBB, row by row; empty when the window
    // cannot be read.
    QList<int> pixels(unsigned long window, const QRect &area) const;
    // The whole window, to be looked at; a null image when it cannot be read.
    QImage image(unsigned long window) const;

private:
    QString xdotool(const QStringList &arguments);

    QProcess server;
    QString displayName;
    void *connection = nullptr; // the Xlib Display, kept out of this header
};
