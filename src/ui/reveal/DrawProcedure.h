#pragma once

#include "draw/DrawPreparation.h"

#include <QDateTime>
#include <QList>

#include <functional>
#include <memory>

struct Settings;
struct EventWinners;
class RunData;
class DrawRandom;
class DrawView;
class EntryTable;
class MessageBoxes;
class QWidget;

// The draw of a prepared run: what rolls, flashes, is recorded and paused when, in continuous and
// one-per-press mode, the closing text, the redraw of an absent winner and stopping a run whose
// window closes. It shows nothing itself: every view added is told what happens (DrawView).
// Questions and errors go to messages, parented to the organiser's window.
class DrawProcedure
{
public:
    DrawProcedure(Settings &settings, RunData &run, MessageBoxes &messages, QWidget *dialogParent);
    ~DrawProcedure();
    DrawProcedure(const DrawProcedure &) = delete;
    DrawProcedure &operator=(const DrawProcedure &) = delete;

    // The window the draw's questions and dialogs belong to: the organiser's, or the stage
    // while it covers that window's screen, so that nothing of the draw hides behind it.
    void setDialogParent(QWidget *parent) { dialogParent = parent; }
    QWidget *dialogWindow() const { return dialogParent; }

    // A view stays added until removed; remove it before it goes.
    void addView(DrawView *view);
    void removeView(DrawView *view);

    // The preparation's draw: fills the draw order as prepareDraw does, with this generator.
    bool prepare();
    // The finished run can no longer be redrawn.
    void forgetFinishedRun() { finished = false; }
    // Every position of the prepared run is revealed (and it was not forgotten since).
    bool hasFinishedRun() const { return finished; }

    // The whole run, or the next position in one-per-press mode. Events are processed inside.
    void start();
    void drawContinuous();
    void drawOnePerPress();
    // Rolls to the winner at draw order position p (1-based), flashes, records and lists it.
    void revealWinner(int p);

    // An absent winner (1-based) of a finished run: asked first, then one replacement among
    // those who have not won in the event, revealed like any winner and appended.
    void redrawAbsentWinner(int winner);
    bool canRedraw(int winner) const;

    // The result files read; false when some could not be and the user would rather stop.
    bool readEventWinnersAsking(EventWinners &event);

    bool isRunning() const { return running; }
    // The run ends at its next step without waiting; views hear runStopped once it has.
    void requestStop();

    // Hooks for another way to fix a draw. beforeFirstReveal runs before position 1 is revealed;
    // false leaves the run unstarted. chooseWinner gives the entry of a position in place of the
    // draw order; 0 ends the run there (the chooser has said why). chooseReplacement picks a
    // redraw for an absent winner: 0 nobody left, negative none and the chooser has said why.
    using WinnerChooser = std::function<int(int position)>;
    using ReplacementChooser
        = std::function<int(int absentWinner, const RunData &, const EntryTable &eventWinners, DrawRandom &)>;
    void setBeforeFirstReveal(std::function<bool()> hook);
    void setWinnerChooser(WinnerChooser chooser);
    void setReplacementChooser(ReplacementChooser chooser);

    // The generator of the preparation and the rolling sequences; tests put a seeded one in.
    DrawRandom &drawRandom() { return *random; }
    void setDrawRandom(std::unique_ptr<DrawRandom> generator);
    // Where the result file's date and time come from; tests fix it.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock);
    QDateTime now() const { return clock(); }

private:
    void runInHandler(const std::function<void()> &body);
    void revealEntry(int entry);
    void showClosingText();
    template<typename Event>
    void tell(Event event);

    Settings &settings;
    RunData &run;
    MessageBoxes &messages;
    QWidget *dialogParent;
    QList<DrawView *> views;
    std::unique_ptr<DrawRandom> random;
    Clock clock;
    std::function<bool()> beforeFirstReveal;
    WinnerChooser chooseWinner;
    ReplacementChooser chooseReplacement;

    bool running = false;          // inside start() or a redraw
    bool stopRequested = false;
    bool abandoned = false;        // a chooser gave no winner: the run ends without a stop
    bool resultErrorShown = false; // one message per prepared run
    bool finished = false;         // every position revealed: absent winners can be redrawn
    // Worked out when the run is prepared, so that rolling never walks the exclusion list.
    ExcludedEntries rollExcluded;
};
