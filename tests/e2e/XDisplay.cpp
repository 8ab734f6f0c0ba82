#include "XDisplay.h"

#include <QStandardPaths>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int toolTimeoutMs = 10000;

Display *xlib(void *connection)
{
    return static_cast<Display *>(connection);
}

// A window can vanish between listing it and reading it; Xlib's default handler would then end
// the test program. The caller sees the failed request's empty result instead.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

QByteArray property(Display *display, ::Window window, const char *name, Atom type, int *format = nullptr)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char *data = nullptr;
    const Atom atom = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, atom, 0, 1024, False, type, &actualType, &actualFormat,
                           &items, &remaining, &data) != Success || !data)
        return QByteArray();
    // 32-bit items come as longs, whatever the size of a long.
    const qsizetype bytes = actualFormat == 32 ? qsizetype(items * sizeof(long)) : qsizetype(items * actualFormat / 8);
    QByteArray value(reinterpret_cast<const char *>(data), bytes);
    XFree(data);
    if (format)
        *format = actualFormat;
    return value;
}

} // namespace

XDisplay::XDisplay() = default;

XDisplay::~XDisplay()
{
    if (connection)
        XCloseDisplay(xlib(connection));
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        if (!server.waitForFinished(5000)) {
            server.kill();
            server.waitForFinished(5000);
        }
    }
}

QStringList XDisplay::missingTools()
{
    QStringList missing;
    for (const QString &tool : {u"Xvfb"_s, u"xdotool"_s})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing.append(tool);
    return missing;
}

QString XDisplay::start()
{
    // Xvfb picks a display number nobody uses and writes it to the given descriptor once it
    // takes connections.
    server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s,
                             u"-nolisten"_s, u"tcp"_s});
    if (!server.waitForStarted(toolTimeoutMs))
        return u"Xvfb did not start: "_s + server.errorString();
    QByteArray out;
    while (!out.contains('\n') && server.state() == QProcess::Running && server.waitForReadyRead(toolTimeoutMs))
        out += server.readAllStandardOutput();
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok)
        return u"Xvfb gave no display number; it said: "_s + QString::fromLocal8Bit(server.readAllStandardError());
    displayName = u':' + QString::number(number);

    XSetErrorHandler(ignoreXErrors);
    connection = XOpenDisplay(displayName.toLatin1().constData());
    if (!connection)
        return u"cannot connect to Xvfb on "_s + displayName;
    return QString();
}

QProcessEnvironment XDisplay::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, displayName);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"XAUTHORITY"_s);
    // Window titles are UTF-8.
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    return env;
}

QList<XDisplay::Window> XDisplay::windowsOf(qint64 pid) const
{
    QList<Window> windows;
    Display *display = xlib(connection);
    if (!display)
        return windows;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return windows;
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        const QByteArray pidValue = property(display, children[i], "_NET_WM_PID", XA_CARDINAL);
        if (pidValue.size() < qsizetype(sizeof(long))
            || *reinterpret_cast<const long *>(pidValue.constData()) != pid)
            continue;
        const QByteArray title = property(display, children[i], "_NET_WM_NAME", utf8);
        windows.append({children[i], QString::fromUtf8(title)});
    }
    if (children)
        XFree(children);
    return windows;
}

QString XDisplay::xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(u"xdotool"_s, arguments);
    if (!tool.waitForFinished(toolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return u"xdotool %1 did not finish"_s.arg(arguments.join(u' '));
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return u"xdotool %1 failed: %2"_s.arg(arguments.join(u' '),
                                              QString::fromLocal8Bit(tool.readAllStandardError()));
    return QString();
}

QString XDisplay::click(unsigned long window, QPoint position, int count)
{
    return xdotool({u"mousemove"_s, u"--window"_s, QString::number(window), QString::number(position.x()),
                    QString::number(position.y()), u"click"_s, u"--repeat"_s, QString::number(count),
                    u"--delay"_s, u"80"_s, u"1"_s});
}

QString XDisplay::focus(unsigned long window)
{
    return xdotool({u"windowfocus"_s, u"--sync"_s, QString::number(window)});
}

QString XDisplay::keys(unsigned long window, const QStringList &keys)
{
    return xdotool(QStringList{u"windowfocus"_s, u"--sync"_s, QString::number(window), u"key"_s,
                               u"--clearmodifiers"_s}
                   + keys);
}

QString XDisplay::type(unsigned long window, const QString &text)
{
    return xdotool({u"windowfocus"_s, u"--sync"_s, QString::number(window), u"type"_s,
                    u"--clearmodifiers"_s, u"--delay"_s, u"20"_s, text});
}

QString XDisplay::requestClose(unsigned long window)
{
    Display *display = xlib(connection);
    if (!display)
        return u"no connection to the X server"_s;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, window, False, NoEventMask, &event))
        return u"the close request could not be sent"_s;
    XSync(display, False);
    return QString();
}

QList<int> XDisplay::pixels(unsigned long window, const QRect &area) const
{
    QList<int> colours;
    Display *display = xlib(connection);
    if (!display)
        return colours;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return colours;
    XImage *image = XGetImage(display, window, area.x(), area.y(), unsigned(area.width()),
                              unsigned(area.height()), AllPlanes, ZPixmap);
    if (!image)
        return colours;
    const Visual *visual = attributes.visual;
    auto channel = [](unsigned long value, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return int(((value >> shift) & mask) * 255 / (mask ? mask : 1));
    };
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            colours.append(channel(value, visual->red_mask) << 16 | channel(value, visual->green_mask) << 8
                           | channel(value, visual->blue_mask));
        }
    }
    XDestroyImage(image);
    return colours;
}

QImage XDisplay::image(unsigned long window) const
{
    Display *display = xlib(connection);
    XWindowAttributes attributes;
    if (!display || !XGetWindowAttributes(display, window, &attributes))
        return QImage();
    const QList<int> colours = pixels(window, QRect(0, 0, attributes.width, attributes.height));
    if (colours.size() != qsizetype(attributes.width) * attributes.height)
        return QImage();
    QImage shot(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            shot.setPixel(x, y, 0xFF000000u | unsigned(colours[y * attributes.width + x]));
    return shot;
}
