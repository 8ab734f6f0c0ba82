#pragma once

#include <QString>

#include <functional>

class RunData;
class MessageBoxes;
class QWidget;

// Closing the main window while winners are not on disk (the folder became read-only, the USB
// stick was pulled): asks how many, and offers to try the files again or to save what waits to
// a file the organiser chooses. Only an explicit choice closes without them.
class ClosingCheck
{
public:
    ClosingCheck(RunData &run, MessageBoxes &messages);
    ClosingCheck(const ClosingCheck &) = delete;
    ClosingCheck &operator=(const ClosingCheck &) = delete;

    // The save dialog; tests put their own in its place. "" stands for 取消.
    std::function<QString(QWidget *parent, const QString &suggested)> chooseFile;

    // True when window may close: nothing waits, it has been written or saved, or the organiser
    // chose to close without it.
    bool mayClose(QWidget *window);

private:
    bool saveElsewhere(QWidget *window);

    RunData &run;
    MessageBoxes &messages;
};
