#pragma once

#include <QList>
#include <QRect>

namespace StageScreen {

// Which of screens the stage fills, given the index of the main window's screen: the largest
// other screen (the first of equals), or the main window's own when it is the only one.
// -1 when there is no screen. A main screen index out of range counts as the first screen.
int choose(const QList<QRect> &screens, int mainScreen);

} // namespace StageScreen
