#include "ColourFlash.h"

#include "ui/common/WidgetColours.h"
#include "zopSleepModule.h"

#include <QPointer>
#include <QWidget>

using WidgetColours::fromBgr;

namespace ColourFlash {

namespace {

// Events are processed between the steps, so a control may go away in the middle of a flash.
struct Remembered {
    QPointer<QWidget> widget;
    QColor colour;
};

template<typename Set>
void setAll(const QList<Remembered> &controls, const QColor *colour, Set set)
{
    for (const Remembered &r : controls) {
        if (r.widget)
            set(r.widget.data(), colour ? *colour : r.colour);
    }
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

void flashBackColor(int cycles, const QList<QWidget *> &controls)
{
    QList<Remembered> remembered;
    for (QWidget *w : controls)
        remembered.append({w, WidgetColours::backColor(w)});

    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable()) {
            setAll(remembered, &colour, WidgetColours::setBackColor);
            zopSleepModule::processPendingEvents();
            zopSleepModule::pauseHundredths(10);
        }
        // The eighth step shows each control's own colour.
        setAll(remembered, nullptr, WidgetColours::setBackColor);
        zopSleepModule::processPendingEvents();
        zopSleepModule::pauseHundredths(10);
    }
    setAll(remembered, nullptr, WidgetColours::setBackColor);
}

void flashForeColor(int cycles, const QList<QWidget *> &controls)
{
    QList<Remembered> remembered;
    for (QWidget *w : controls)
        remembered.append({w, WidgetColours::foreColor(w)});

    for (int c = 0; c < std::max(cycles, 1); ++c) {
        for (const QColor &colour : colourTable()) {
            setAll(remembered, &colour, WidgetColours::setForeColor);
            zopSleepModule::processPendingEvents();
            zopSleepModule::pauseHundredths(5);
        }
    }
    setAll(remembered, nullptr, WidgetColours::setForeColor);
}

} // namespace ColourFlash
