#include "KeyRouting.h"

#include "ui/stage/ClickerKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

constexpr int spaceKey = 32, enterKey = 13;

// The character code a key press would give: 32 for the space bar, 13 for either Enter key.
int keyAsciiOf(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Space:
        return spaceKey;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enterKey;
    // A presentation clicker's "next", and the arrow a keyboard has for it.
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        return spaceKey;
    default:
        break;
    }
    const QString text = event.text();
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

bool isStartKey(const QKeyEvent &event)
{
    const int code = keyAsciiOf(event);
    return code == spaceKey || code == enterKey;
}

} // namespace

KeyRouting::KeyRouting(const QWidget &window, const QObject *startButton, const QObject *winnerList,
                       Actions actions)
    : window(window), startButton(startButton), winnerList(winnerList), actions(std::move(actions))
{
}

bool KeyRouting::controlKeyPress(const QObject *watched, const QEvent &event)
{
    if (event.type() != QEvent::KeyPress || (watched != startButton && watched != winnerList))
        return false;
    const auto &key = static_cast<const QKeyEvent &>(event);
    if (!isStartKey(key))
        return ClickerKeys::action(key.key()) != ClickerKeys::Action::ToggleStage
            && clickerKey(key.key(), key.isAutoRepeat());
    // A held key repeats its press; it is still one press. The button's own space click
    // on release never happens, as its press is taken here.
    if (!key.isAutoRepeat())
        actions.start();
    return true;
}

bool KeyRouting::windowKeyPress(const QKeyEvent &event)
{
    // Keys reach the window itself only when no control holds the focus; those passed up by
    // the quick settings boxes or the confirm button (Enter) are not the window's.
    const QWidget *focus = window.focusWidget();
    if ((focus && focus != &window) || !isStartKey(event)) {
        // Esc closing the stage and the previous prize hold wherever the key comes from.
        return !isStartKey(event) && ClickerKeys::action(event.key()) != ClickerKeys::Action::ToggleStage
            && clickerKey(event.key(), event.isAutoRepeat());
    }
    if (!event.isAutoRepeat())
        actions.start();
    return true;
}

void KeyRouting::stageKeyPress(int key, bool autoRepeat)
{
    // Esc and F5 close the stage.
    if (ClickerKeys::action(key) == ClickerKeys::Action::ToggleStage)
        key = Qt::Key_Escape;
    clickerKey(key, autoRepeat);
}

bool KeyRouting::clickerKey(int key, bool autoRepeat)
{
    switch (ClickerKeys::action(key)) {
    case ClickerKeys::Action::Start:
        if (!autoRepeat)
            actions.start();
        return true;
    case ClickerKeys::Action::PreviousPrize:
        if (!autoRepeat && !actions.isRunning())
            actions.previousPrize();
        return true;
    case ClickerKeys::Action::PreviousPage:
    case ClickerKeys::Action::NextPage:
        // Taken only while the stage has pages: the arrows keep their use in the winner list.
        return actions.turnStagePage(autoRepeat ? 0
                                     : ClickerKeys::action(key) == ClickerKeys::Action::NextPage ? 1 : -1);
    case ClickerKeys::Action::ToggleStage:
        if (!autoRepeat)
            actions.toggleStage();
        return true;
    case ClickerKeys::Action::CloseStage:
        return actions.closeStage();
    case ClickerKeys::Action::None:
        break;
    }
    return false;
}
