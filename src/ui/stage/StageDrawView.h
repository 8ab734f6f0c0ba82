#pragma once

#include "ui/reveal/DrawView.h"

struct Settings;
class RunData;
class StageView;

// The stage as a second view of the main window's draw: it shows what the draw tells it, from
// the same run, and never draws itself.
class StageDrawView : public DrawView
{
public:
    StageDrawView(StageView &stage, const Settings &settings, const RunData &run);
    StageDrawView(const StageDrawView &) = delete;
    StageDrawView &operator=(const StageDrawView &) = delete;

    // Title, columns and the winners of the run so far, as the settings and the run hold them.
    void refresh();

    void revealStarting(int position, int count) override;
    void rollingEntry(int entry) override;
    void winnerFlash(const QColor &colour) override;
    void winnerRecorded(int winner) override;
    void closingText(const QString &text) override;
    void closingFlash(const QColor &colour) override;
    void winnerAbsent(int winner) override;

private:
    StageView &stage;
    const Settings &settings;
    const RunData &run;
};
