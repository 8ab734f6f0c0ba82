#pragma once

class QColor;
class QString;

// One view of a draw: the procedure tells every view what happens, in the order it happens, and
// each shows it its own way. A view never asks or says anything: questions and errors go to the
// window that started the run. Entries are numbers of the loaded table, winners numbers of the
// winner list (1-based). Every method does nothing unless a view overrides it.
class DrawView
{
public:
    virtual ~DrawView() = default;

    // Position of count is about to roll (not for a replacement, see winnerAbsent).
    virtual void revealStarting(int /*position*/, int /*count*/) {}
    virtual void rollingEntry(int /*entry*/) {}
    // A step of the flash once the winner shows; an invalid colour gives the view's own back.
    virtual void winnerFlash(const QColor & /*colour*/) {}
    // Recorded in the winner list and written to the result file (or kept to write later).
    virtual void winnerRecorded(int /*winner*/) {}
    // The pause after the winner is over.
    virtual void revealFinished(int /*winner*/) {}
    // One per press: the next position waits for a press.
    virtual void waitingForPress(int /*position*/, int /*count*/) {}
    // Every position revealed: after the closing text in continuous mode, before it in one per press.
    virtual void runFinished() {}
    virtual void closingText(const QString & /*text*/) {}
    virtual void closingFlash(const QColor & /*colour*/) {}
    // A finished run's winner was not in the room: a replacement's reveal follows.
    virtual void winnerAbsent(int /*winner*/) {}
    // A stop was asked for during the run (its window is closing); the run has ended.
    virtual void runStopped() {}
};
