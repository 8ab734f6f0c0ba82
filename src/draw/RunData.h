#pragma once

#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "ResultFile.h"
#include "VerifiableDraw.h"
#include "settings/Settings.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The tables and draw state of the running program, one object beside the Settings.
class RunData
{
public:
    RunData() = default;
    RunData(const RunData &) = delete;
    RunData &operator=(const RunData &) = delete;

    EntryTable entryTable;
    EntryTable excludeList;
    VipList vipList;
    QList<int> drawOrder;            // entry numbers; position p is drawOrder[p - 1]
    QList<EntryRecord> winnerList;   // copies of the winners' columns, in reveal order
    QSet<int> absentWinners;         // winner list numbers (1-based) redrawn as not in the room
    // The event's earlier winners, kept out of the preparation like the exclusion list (empty
    // when 中奖者不再参与 is off), and how many entries of the table that kept out.
    EntryTable earlierWinners;
    int earlierWinnersKeptOut = 0;
    int pressCount = 0;
    QString resultFileName;
    // The prize the prepared run is for; "" for a run without a prize.
    QString prize;
    // Result lines no append could write yet; the next append that succeeds writes them first.
    // Neither loading the settings nor a new run drops them.
    QList<ResultLine> unwrittenResultLines;
    // The verifiable draw the last confirmation began (可验证摇号); inactive otherwise.
    VerifiableDraw verifiable;

    // Where the run's result lines stand on disk, for the absence record.
    struct LinePlace {
        QString file; // name without a folder
        int line = 0; // 1-based
    };
    QList<int> winnerLineIds;        // the result line (ResultLine::id) of each winner of the list
    QHash<int, LinePlace> linePlaces; // by line id, once written
    QHash<QString, int> resultFileLines; // line ends in each result file written to (full path)
    int lastLineId = 0;
    // Redraws whose record is not written yet: the lines they name are not on disk yet, or the
    // record could not be appended. folder is where the record goes (the event's folder).
    struct PendingAbsence {
        int absentLineId;
        int replacementLineId;
        QString folder;
        QString readableTail;
    };
    QList<PendingAbsence> pendingAbsences;

    // What loading the settings empties; the VIP list is left as it is.
    void resetTables();
    // The event ended: the prepared draw and the old event's winners go, so a draw needs a new
    // confirmation; the winner list stays on show.
    void discardPreparedDraw();
};

namespace AppFiles {

// Loads the settings and empties the run tables they describe, as every (re)load must;
// the VIP list is kept.
SettingsSource loadSettings(Settings &settings, RunData &run, const QString &programDir);

} // namespace AppFiles
