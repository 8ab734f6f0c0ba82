#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class CaptionLabel;
class QShortcut;
class QWidget;

// The main window's twip layout scaled by one factor: in a normal window at factor 1 where it
// fits its screen and scaled down where it does not; in full screen for a projector (F11
// switches, Esc leaves) scaled to the screen and centred. Two widths: expanded shows the winner
// list, collapsed hides it.
class WindowLayout
{
public:
    struct Placement {
        QWidget *control;
        int left, top, width, height; // twips, in the containing window or frame
    };

    // The controls are placed in clientArea, a child of window.
    WindowLayout(QWidget &window, QWidget &clientArea);
    WindowLayout(const WindowLayout &) = delete;
    WindowLayout &operator=(const WindowLayout &) = delete;

    void setPlacements(std::vector<Placement> all) { placements = std::move(all); }
    // Controls whose width is the title's, which follows the width state.
    void setTitles(const QList<QWidget *> &controls) { titles = controls; }
    // The handles shown in the expanded and in the collapsed state.
    void setWidthHandles(QWidget *expandedHandle, QWidget *collapsedHandle);
    // Captions made a little smaller where pixel rounding would clip them.
    void setShrinking(const QList<CaptionLabel *> &captions) { shrinking = captions; }
    void setFont(QWidget *control, const QString &family, double points, bool bold = false,
                 bool underline = false);
    void setFontPoints(QWidget *control, double points);

    // Places and sizes every control, scaled by factor.
    void apply(double factor);
    void fitOnScreen();
    void centreOnScreen();
    void setExpanded(bool expanded);

    void toggleFullScreen();
    void leaveFullScreen();
    bool isPresenting() const { return presenting; }
    double factor() const { return layoutFactor; }

    // From the window's own events.
    void windowResized();
    void windowShown();

private:
    struct FontSpec {
        QWidget *control;
        QString family;
        double points;
        bool bold = false;
        bool underline = false;
    };

    void placeControls();
    void applyFont(const FontSpec &fontItem);
    double windowFactor() const;
    void keepOnScreen();
    // The largest factor at which the client area of the width state fits into area (pixels).
    static double fullScreenFactor(QSize area, bool expanded);
    void enterFullScreen();
    void layOutFullScreen(QSize area);
    QSize clientPixels() const;
    void showHandles();

    QWidget &window;
    QWidget &clientArea; // holds the controls; clips what lies beyond the width state
    std::vector<Placement> placements;
    std::vector<FontSpec> fonts;
    QList<QWidget *> titles;
    QList<CaptionLabel *> shrinking;
    QWidget *expandedHandle = nullptr, *collapsedHandle = nullptr;

    double layoutFactor = 1.0;
    bool expanded = true;
    int titleWidth = 14310; // twips; the handles change it

    // The window as it was before full screen, to come back to exactly.
    struct NormalWindow {
        QRect geometry; // of the client area, which the frame does not move
        bool expanded;
        int titleWidth;
        double factor;
    };
    bool presenting = false;
    NormalWindow normal{};
    QSize presentingArea;  // pixels of the full screen
    QPoint clientOrigin;   // of the scaled client area within the window
    QShortcut *leaveKey = nullptr;
    bool screenWatched = false;
};
