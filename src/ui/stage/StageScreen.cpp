#include "StageScreen.h"

namespace StageScreen {

int choose(const QList<QRect> &screens, int mainScreen)
{
    if (screens.isEmpty())
        return -1;
    if (mainScreen < 0 || mainScreen >= screens.size())
        mainScreen = 0;
    int best = mainScreen;
    qint64 bestArea = -1;
    for (int i = 0; i < screens.size(); ++i) {
        const qint64 area = qint64(screens[i].width()) * screens[i].height();
        if (i != mainScreen && area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

} // namespace StageScreen
