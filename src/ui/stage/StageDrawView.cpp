#include "StageDrawView.h"

#include "StageView.h"
#include "draw/RunData.h"
#include "settings/Settings.h"

#include <QColor>

using namespace Qt::StringLiterals;

StageDrawView::StageDrawView(StageView &stage, const Settings &settings, const RunData &run)
    : stage(stage), settings(settings), run(run)
{
}

void StageDrawView::refresh()
{
    stage.setTitle(settings.titleText);
    stage.setColumns({settings.showItemA == 1, settings.showItemB == 1, settings.showItemC == 1},
                     {settings.fontSizeA, settings.fontSizeB, settings.fontSizeC});
    stage.setPhotoFolder(settings.appDir + u"照片"_s);
    // A new preparation empties the winner list; a stage opened during a run catches up.
    const int winners = int(run.winnerList.size());
    if (stage.winnerCount() > winners || winners == 0)
        stage.clearRun();
    for (int i = stage.winnerCount(); i < winners; ++i)
        stage.addWinner(run.winnerList.at(i));
    for (const int absent : run.absentWinners)
        stage.markAbsent(absent - 1);
}

void StageDrawView::revealStarting(int, int)
{
    refresh();
}

void StageDrawView::rollingEntry(int entry)
{
    if (entry >= 1 && entry <= run.entryTable.entryCount())
        stage.showRolling(run.entryTable.record(entry));
}

void StageDrawView::winnerFlash(const QColor &colour)
{
    stage.setPanelColour(colour);
}

void StageDrawView::winnerRecorded(int winner)
{
    // Only the next card: one the stage already has (opened meanwhile) is not added twice.
    if (winner == stage.winnerCount() + 1)
        stage.addWinner(run.winnerList.at(winner - 1));
}

void StageDrawView::closingText(const QString &text)
{
    stage.showClosingText(text);
}

void StageDrawView::closingFlash(const QColor &colour)
{
    stage.setClosingTextColour(colour);
}

void StageDrawView::winnerAbsent(int winner)
{
    stage.markAbsent(winner - 1);
}
