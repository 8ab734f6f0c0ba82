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
    if (winners == 0) {
        runPrizeShown = false;
        runOver = false;
    } else if (!runPrizeShown) {
        fixRunPrize();
    }
    showPrize();
    for (int i = stage.winnerCount(); i < winners; ++i)
        stage.addWinner(run.winnerList.at(i));
    for (const int absent : run.absentWinners)
        stage.markAbsent(absent - 1);
}

void StageDrawView::setChosenPrize(const QString &name, const QImage &picture)
{
    chosenPrize = name;
    chosenPicture = picture;
    showPrize();
}

void StageDrawView::fixRunPrize()
{
    // The run's prize was fixed when it was prepared; the drop-down may show another since.
    runPrizeShown = true;
    runPrize = run.prize;
    runPicture = chosenPrize == run.prize ? chosenPicture : QImage();
}

void StageDrawView::showPrize()
{
    if (runPrizeShown)
        stage.setPrize(runPrize, runPicture);
    else
        stage.setPrize(chosenPrize, chosenPicture);
}

void StageDrawView::revealStarting(int position, int)
{
    refresh();
    if (position == 1 && !runPrizeShown) {
        fixRunPrize();
        showPrize();
    }
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

void StageDrawView::revealFinished(int)
{
    // A replacement drawn after the run: the cards own the screen again.
    if (runOver)
        stage.showClosingText(settings.closingText);
}

void StageDrawView::closingText(const QString &text)
{
    runOver = true;
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
