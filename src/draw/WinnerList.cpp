#include "WinnerList.h"

#include "ResultFile.h"
#include "RunData.h"
#include "settings/Settings.h"

void clearWinnerList(RunData &run)
{
    run.winnerList.clear();
    run.absentWinners.clear();
}

bool addWinner(RunData &run, const Settings &settings, int entry)
{
    Q_ASSERT(entry >= 1 && entry <= run.entryTable.entryCount());
    if (entry < 1 || entry > run.entryTable.entryCount())
        return false;
    run.winnerList.append(run.entryTable.record(entry));
    const EntryRecord &w = run.winnerList.constLast();
    const QString &s = settings.fieldSeparator;
    return appendResultLineKeeping(run.unwrittenResultLines, w.column1 + s + w.column2 + s + w.column3,
                                   run.resultFileName);
}
