#include "RunData.h"

void RunData::resetTables()
{
    entryTable.clear();
    excludeList.clear();
    drawOrder.clear();
    winnerList.clear();
    absentWinners.clear();
    earlierWinners.clear();
    earlierWinnersKeptOut = 0;
    verifiable.clear();
    prize.clear();
    winnerLineIds.clear();
}

void RunData::discardPreparedDraw()
{
    entryTable.clear();
    drawOrder.clear();
    earlierWinners.clear();
    earlierWinnersKeptOut = 0;
    pressCount = 0;
    resultFileName.clear();
    verifiable.clear();
}

namespace AppFiles {

SettingsSource loadSettings(Settings &settings, RunData &run, const QString &programDir)
{
    const SettingsSource source = loadSettings(settings, programDir);
    run.resetTables();
    return source;
}

} // namespace AppFiles
