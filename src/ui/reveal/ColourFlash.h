#pragma once

#include <QColor>
#include <QList>

#include <array>
#include <functional>

class QWidget;

// The colour effects after a winner and at the end of a run.
namespace ColourFlash {

// Magenta, blue, green, purple, cyan, near white, black: the steps of both effects.
const std::array<QColor, 7> &colourTable();

// The schedules of the two effects for any view: show gets each step's colour before its wait,
// an invalid colour for the view's own, and an invalid one again at the end.
using Show = std::function<void(const QColor &)>;
void backFlash(int cycles, const Show &show);
void foreFlash(int cycles, const Show &show);

// Each cycle runs the seven colours and then the controls' own back colours, 100 ms a step;
// afterwards every control has the back colour it had before. Fewer than 1 cycle runs one.
void flashBackColor(int cycles, const QList<QWidget *> &controls);

// Each cycle runs the seven colours as text colours, 50 ms a step; the text colours are
// restored afterwards. Fewer than 1 cycle runs one.
void flashForeColor(int cycles, const QList<QWidget *> &controls);

} // namespace ColourFlash
