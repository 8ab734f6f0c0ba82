#pragma once

// What a key does in the main window and on the stage. A presentation clicker sends PageDown,
// PageUp, F5 and Esc; the arrows do the same for a keyboard, Up and Down turn the stage's pages.
namespace ClickerKeys {

enum class Action {
    None,
    Start,         // as Space: the run, or the next winner
    PreviousPrize, // while no run is going
    PreviousPage,  // of the stage's cards, when it has pages
    NextPage,
    ToggleStage,
    CloseStage,
};

// key is a Qt::Key value.
Action action(int key);

} // namespace ClickerKeys
