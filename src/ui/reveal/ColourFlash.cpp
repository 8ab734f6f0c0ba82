#include "ColourFlash.h"

#include "ui/common/WidgetColours.h"
#include "zopSleepModule.h"

#include <QPointer>
#include <QWidget>

using WidgetColours::fromBgr;

namespace ColourFlash {

namespace {

// One flash over a set of controls: each step shows one colour on all of them, then waits.
// Events are processed between the steps, so a control may go away in the middle of a flash.
class Flash
{
public:
    using Get = QColor (*)(const QWidget *);
    using Set = void (*)(QWidget *, const QColor &);

    Flash(const QList<QWidget *> &controls, Get get, Set set) : set(set)
    {
        for (QWidget *w : controls)
            remembered.append({w, get(w)});
    }

    // A null colour gives each control its own colour back.
    void step(const QColor *colour, int hundredths)
    {
        showAll(colour);
        zopSleepModule::processPendingEvents();
        zopSleepModule::pauseHundredths(hundredths);
    }

    void restore() { showAll(nullptr); }

private:
    void showAll(const QColor *colour)
    {
        for (const Remembered &r : remembered) {
            if (r.widget)
                set(r.widget.data(), colour ? *colour : r.colour);
        }
    }

    struct Remembered {
        QPointer<QWidget> widget;
        QColor colour;
    };
    QList<Remembered> remembered;
    Set set;
};

} // namespace

const std::array<QColor, 7> &colourTable()
{
    static const std::array<QColor, 7> table = {
        fromBgr(0xFF00FF), fromBgr(0xFF0000), fromBgr(0x228B22), fromBgr(0xF020A0),
        fromBgr(0xFFFF00), fromBgr(0xFAFAFF), fromBgr(0x000000),
    };
    return table;
}

void flashBackColor(int cycles, const QList<QWidget *> &controls)
{
    Flash flash(controls, WidgetColours::backColor, WidgetColours::setBackColor);
    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable())
            flash.step(&colour, 10);
        flash.step(nullptr, 10); // the eighth step shows each control's own colour
    }
    flash.restore();
}

void flashForeColor(int cycles, const QList<QWidget *> &controls)
{
    Flash flash(controls, WidgetColours::foreColor, WidgetColours::setForeColor);
    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable())
            flash.step(&colour, 5);
    }
    flash.restore();
}

} // namespace ColourFlash
