#pragma once

#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "ResultFile.h"
#include "VerifiableDraw.h"
#include "settings/Settings.h"

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
    // Result lines no append could write yet; the next append that succeeds writes them first.
    // Neither loading the settings nor a new run drops them.
    QList<ResultLine> unwrittenResultLines;
    // The verifiable draw the last confirmation began (可验证摇号); inactive otherwise.
    VerifiableDraw verifiable;

    // What loading the settings empties; the VIP list is left as it is.
    void resetTables();
};

namespace Module1 {

// Loads the settings and empties the run tables they describe, as every (re)load must;
// the VIP list is kept.
SettingsSource loadSettings(Settings &settings, RunData &run, const QString &programDir);

} // namespace Module1
