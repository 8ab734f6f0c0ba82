#pragma once

#include <functional>

class QEvent;
class QKeyEvent;
class QObject;
class QWidget;

// Where a key goes: Space and Enter start, a presentation clicker's keys (PageDown/Right as
// Space, PageUp/Left the previous prize, F5 and Esc for the stage, Up/Down its pages) work from
// the window, the start button, the winner list and the stage. What each key does is the
// window's, given here.
class KeyRouting
{
public:
    struct Actions {
        std::function<void()> start;         // starts when the start button is enabled
        std::function<void()> previousPrize;
        std::function<void()> toggleStage;
        std::function<bool()> closeStage;    // false when the stage was not open
        // By delta pages (0: none); false when the stage shows no pages.
        std::function<bool(int delta)> turnStagePage;
        std::function<bool()> isRunning;
    };

    KeyRouting(const QWidget &window, const QObject *startButton, const QObject *winnerList,
               Actions actions);

    // A key press on the start button or the winner list; true when it was taken.
    bool controlKeyPress(const QObject *watched, const QEvent &event);
    // A key press that reached the window itself; false when it goes on to QWidget.
    bool windowKeyPress(const QKeyEvent &event);
    // A key on the stage, which has the keyboard only when it covers the window.
    void stageKeyPress(int key, bool autoRepeat);

private:
    // The stage's and the prize list's keys, pressed in either window; false for other keys.
    bool clickerKey(int key, bool autoRepeat);

    const QWidget &window;
    const QObject *startButton;
    const QObject *winnerList;
    Actions actions;
};
