#include "ClickerKeys.h"

#include <Qt>

namespace ClickerKeys {

Action action(int key)
{
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        return Action::Start;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        return Action::PreviousPrize;
    case Qt::Key_Up:
        return Action::PreviousPage;
    case Qt::Key_Down:
        return Action::NextPage;
    case Qt::Key_F5:
        return Action::ToggleStage;
    case Qt::Key_Escape:
        return Action::CloseStage;
    default:
        return Action::None;
    }
}

} // namespace ClickerKeys
