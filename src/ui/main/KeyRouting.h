#pragma once

class MainWindow;
class QEvent;
class QKeyEvent;
class QObject;

// Which of the main window's handlers a key reaches: Space and Enter start, a presentation
// clicker's keys (PageDown/Right as Space, PageUp/Left the previous prize, F5 and Esc for the
// stage) work from the window, the start button, the winner list and the stage.
class KeyRouting
{
public:
    KeyRouting(MainWindow &window, const QObject *startButton, const QObject *winnerList);

    // A key press on the start button or the winner list; true when it was taken.
    bool controlKeyPress(const QObject *watched, const QEvent &event);
    // A key press that reached the window itself; false when it goes on to QWidget.
    bool windowKeyPress(const QKeyEvent &event);
    // A key on the stage, which has the keyboard only when it covers the window.
    void stageKeyPress(int key, bool autoRepeat);

private:
    // The stage's and the prize list's keys, pressed in either window; false for other keys.
    bool clickerKey(int key, bool autoRepeat);

    MainWindow &window;
    const QObject *startButton;
    const QObject *winnerList;
};
