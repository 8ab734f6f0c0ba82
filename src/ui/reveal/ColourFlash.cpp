#include "ColourFlash.h"

#include "DrawWaits.h"
#include "ui/common/WidgetColours.h"

#include <QPointer>
#include <QWidget>

using WidgetColours::fromBgr;

namespace ColourFlash {

namespace {

// The colours a set of controls had, given back on an invalid colour. Events are processed
// between the steps, so a control may go away in the middle of a flash.
class Controls
{
public:
    using Get = QColor (*)(const QWidget *);
    using Set = void (*)(QWidget *, const QColor &);

    Controls(const QList<QWidget *> &controls, Get get, Set set) : set(set)
    {
        for (QWidget *w : controls)
            remembered.append({w, get(w)});
    }

    void show(const QColor &colour) const
    {
        for (const Remembered &r : remembered) {
            if (r.widget)
                set(r.widget.data(), colour.isValid() ? colour : r.colour);
        }
    }

private:
    struct Remembered {
        QPointer<QWidget> widget;
        QColor colour;
    };
    QList<Remembered> remembered;
    Set set;
};

void step(const Show &show, const QColor &colour, int hundredths)
{
    show(colour);
    DrawWaits::processPendingEvents();
    DrawWaits::pauseHundredths(hundredths);
}

} // namespace

const std::array<QColor, 7> &colourTable()
{
    static const std::array<QColor, 7> table = {
        fromBgr(0xFF00FF), fromBgr(0xFF0000), fromBgr(0x228B22), fromBgr(0xF020A0),
        fromBgr(0xFFFF00), fromBgr(0xFAFAFF), fromBgr(0x000000),
    };
    return table;
}

void backFlash(int cycles, const Show &show)
{
    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable())
            step(show, colour, 10);
        step(show, QColor(), 10); // the eighth step shows the view's own colour
    }
    show(QColor());
}

void foreFlash(int cycles, const Show &show)
{
    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable())
            step(show, colour, 5);
    }
    show(QColor());
}

void flashBackColor(int cycles, const QList<QWidget *> &controls)
{
    const Controls flashed(controls, WidgetColours::backColor, WidgetColours::setBackColor);
    backFlash(cycles, [&](const QColor &colour) { flashed.show(colour); });
}

void flashForeColor(int cycles, const QList<QWidget *> &controls)
{
    const Controls flashed(controls, WidgetColours::foreColor, WidgetColours::setForeColor);
    foreFlash(cycles, [&](const QColor &colour) { flashed.show(colour); });
}

} // namespace ColourFlash
