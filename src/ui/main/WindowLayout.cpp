#include "WindowLayout.h"

#include "ui/common/CaptionLabel.h"
#include "ui/common/Fonts.h"
#include "ui/common/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// The layout's outer widths include a 90-twip border; the client area is what is placed here.
constexpr int borderWidth = 90;
constexpr int expandedOuterWidth = 14310, collapsedOuterWidth = 8745;
constexpr int expandedTitleWidth = 14055, collapsedTitleWidth = 8415;
constexpr int clientHeight = 9435;

// A window that does not fit its screen is scaled down, but not below this: the 9-point captions
// stay readable at about 7 points.
constexpr double minimumWindowFactor = 0.75;
// Border and title bar before the window system has told their size.
constexpr QSize frameAllowance(8, 32);

} // namespace

WindowLayout::WindowLayout(QWidget &window, QWidget &clientArea)
    : window(window), clientArea(clientArea)
{
    // Shortcuts of the window, so that they work whichever control has the focus, during a
    // run and its flashes as well.
    auto *fullScreenKey = new QShortcut(QKeySequence(Qt::Key_F11), &window);
    QObject::connect(fullScreenKey, &QShortcut::activated, &window, [this] { toggleFullScreen(); });
    leaveKey = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    leaveKey->setEnabled(false);
    QObject::connect(leaveKey, &QShortcut::activated, &window, [this] { leaveFullScreen(); });
}

void WindowLayout::setWidthHandles(QWidget *expandedOne, QWidget *collapsedOne)
{
    expandedHandle = expandedOne;
    collapsedHandle = collapsedOne;
}

void WindowLayout::showHandles()
{
    expandedHandle->setVisible(expanded);
    collapsedHandle->setVisible(!expanded);
}

void WindowLayout::setFont(QWidget *control, const QString &family, double points, bool bold,
                           bool underline)
{
    fonts.push_back({control, family, points, bold, underline});
    applyFont(fonts.back());
}

void WindowLayout::setFontPoints(QWidget *control, double points)
{
    for (FontSpec &fontItem : fonts) {
        if (fontItem.control == control) {
            fontItem.points = points;
            applyFont(fontItem);
        }
    }
}

void WindowLayout::applyFont(const FontSpec &fontItem)
{
    fontItem.control->setFont(Fonts::layoutFont(fontItem.family, fontItem.points * layoutFactor, fontItem.bold,
                                            fontItem.underline));
}

void WindowLayout::apply(double factor)
{
    layoutFactor = factor;
    placeControls();
    for (const FontSpec &fontItem : fonts)
        applyFont(fontItem);
    // Pixel rounding at some factors makes a caption a pixel wider than its box: a quarter of a
    // point less does not show, a clipped "<" does.
    for (CaptionLabel *label : std::as_const(shrinking)) {
        QFont font = label->font();
        while (!label->textFits() && font.pointSizeF() > 4) {
            font.setPointSizeF(font.pointSizeF() - 0.25);
            label->setFont(font);
        }
    }
}

QSize WindowLayout::clientPixels() const
{
    const int outerWidth = expanded ? expandedOuterWidth : collapsedOuterWidth;
    return QSize(Twips::toPixels(outerWidth - borderWidth, layoutFactor),
                 Twips::toPixels(clientHeight, layoutFactor));
}

void WindowLayout::placeControls()
{
    const QSize client = clientPixels();
    if (!presenting)
        window.setFixedSize(client);
    clientArea.setGeometry(QRect(clientOrigin, client));
    for (const Placement &p : placements) {
        const bool title = titles.contains(p.control);
        p.control->setGeometry(
            Twips::rect(p.left, p.top, title ? titleWidth : p.width, p.height, layoutFactor));
    }
}

void WindowLayout::centreOnScreen()
{
    if (const QScreen *s = window.screen()) {
        const QRect available = s->availableGeometry();
        window.move(available.center() - QPoint(window.width() / 2, window.height() / 2));
        keepOnScreen();
    }
}

void WindowLayout::keepOnScreen()
{
    const QScreen *s = window.screen();
    if (!s)
        return;
    const QRect available = s->availableGeometry();
    const QRect frame = window.frameGeometry();
    // Where even the smallest layout is too large, the title bar stays on the screen.
    const int x = std::max(std::min(frame.left(), available.right() + 1 - frame.width()), available.left());
    const int y = std::max(std::min(frame.top(), available.bottom() + 1 - frame.height()), available.top());
    if (x != frame.left() || y != frame.top())
        window.move(x, y);
}

double WindowLayout::windowFactor() const
{
    const QScreen *s = window.screen();
    if (!s)
        return 1.0;
    QSize frame = window.frameGeometry().size() - window.size();
    if (!window.isVisible() || frame.isEmpty())
        frame = frame.expandedTo(frameAllowance);
    const double factor = fullScreenFactor(s->availableGeometry().size() - frame, expanded);
    return std::clamp(factor, minimumWindowFactor, 1.0);
}

void WindowLayout::fitOnScreen()
{
    if (presenting)
        return;
    const double factor = windowFactor();
    if (factor == layoutFactor) {
        placeControls();
        return;
    }
    apply(factor);
    keepOnScreen();
}

void WindowLayout::setExpanded(bool expand)
{
    expanded = expand;
    showHandles();
    titleWidth = expanded ? expandedTitleWidth : collapsedTitleWidth;
    // The other width may take another factor, in full screen and on a small screen alike.
    if (presenting)
        layOutFullScreen(presentingArea);
    else
        fitOnScreen();
}

double WindowLayout::fullScreenFactor(QSize area, bool expanded)
{
    const int clientWidth = (expanded ? expandedOuterWidth : collapsedOuterWidth) - borderWidth;
    const double factor = std::min(area.width() * 15.0 / clientWidth,
                                   area.height() * 15.0 / clientHeight);
    // A screen too small for any text still gets a window one can leave.
    return std::max(factor, 0.25);
}

void WindowLayout::toggleFullScreen()
{
    if (presenting)
        leaveFullScreen();
    else
        enterFullScreen();
}

void WindowLayout::enterFullScreen()
{
    // The screen the window is on is the one its middle is on.
    QScreen *target = QGuiApplication::screenAt(window.frameGeometry().center());
    if (!target)
        target = window.screen();
    if (!target)
        return;
    normal = {window.geometry(), expanded, titleWidth, layoutFactor};
    presenting = true;
    leaveKey->setEnabled(true);
    if (QWindow *handle = window.windowHandle(); handle && handle->screen() != target)
        handle->setScreen(target);
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Laid out for the screen now; the window's own size follows when the screen has it.
    layOutFullScreen(target->geometry().size());
    window.showFullScreen();
}

void WindowLayout::leaveFullScreen()
{
    if (!presenting)
        return;
    presenting = false;
    leaveKey->setEnabled(false);
    expanded = normal.expanded;
    titleWidth = normal.titleWidth;
    showHandles();
    clientOrigin = QPoint();
    window.showNormal();
    apply(normal.factor);
    window.setGeometry(normal.geometry);
}

void WindowLayout::layOutFullScreen(QSize area)
{
    presentingArea = area;
    const double factor = fullScreenFactor(area, expanded);
    layoutFactor = factor;
    const QSize client = clientPixels();
    clientOrigin = QPoint((area.width() - client.width()) / 2,
                          (area.height() - client.height()) / 2);
    apply(factor);
}

void WindowLayout::windowResized()
{
    if (presenting && window.isFullScreen() && window.size() != presentingArea)
        layOutFullScreen(window.size());
}

void WindowLayout::windowShown()
{
    if (screenWatched)
        return;
    // The screen the window opens on is known now; moved onto another one, the window takes
    // the factor that fits there.
    screenWatched = true;
    fitOnScreen();
    centreOnScreen();
    if (QWindow *handle = window.windowHandle())
        QObject::connect(handle, &QWindow::screenChanged, &window, [this] { fitOnScreen(); });
}
