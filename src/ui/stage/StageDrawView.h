#pragma once

#include "ui/reveal/DrawView.h"

#include <QImage>
#include <QString>

struct Settings;
class RunData;
class StageView;

// The stage as a second view of the main window's draw: it shows what the draw tells it, from
// the same run, and never draws itself. The heading names the prize of the winners on show:
// the prize chosen for the next run until a run starts, then that run's, until a new
// preparation clears its winners.
class StageDrawView : public DrawView
{
public:
    StageDrawView(StageView &stage, const Settings &settings, const RunData &run);
    StageDrawView(const StageDrawView &) = delete;
    StageDrawView &operator=(const StageDrawView &) = delete;

    // Title, columns, prize and the winners of the run so far, as the settings and the run hold them.
    void refresh();
    // The prize chosen in the main window and its picture (null: none).
    void setChosenPrize(const QString &name, const QImage &picture);

    void revealStarting(int position, int count) override;
    void rollingEntry(int entry) override;
    void winnerFlash(const QColor &colour) override;
    void winnerRecorded(int winner) override;
    void revealFinished(int winner) override;
    void closingText(const QString &text) override;
    void closingFlash(const QColor &colour) override;
    void winnerAbsent(int winner) override;

private:
    void fixRunPrize();
    void showPrize();

    StageView &stage;
    const Settings &settings;
    const RunData &run;
    QString chosenPrize;
    QImage chosenPicture;
    bool runPrizeShown = false; // fixed at the run's start
    QString runPrize;
    QImage runPicture;
    bool runOver = false; // its closing text shown: a redraw ends with it again
};
