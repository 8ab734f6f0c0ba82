#pragma once

#include <QString>

struct ArchiveResult;
struct Settings;
class RunData;

// Empties the winner list of the run.
void clearWinnerList(RunData &run);

// Records entry (1..entryCount) as the next winner: its columns join the winner list, then its
// line (the columns joined by the field separator) is appended to run.resultFileName. Returns
// whether the line reached the file; when it did not, the winner stays listed and the line is
// kept in run.unwrittenResultLines and written first at the next append that succeeds.
bool addWinner(RunData &run, const Settings &settings, int entry);

// Winner absentWinner (1-based) was not in the room and winner replacement took the prize:
// appends the record to the absence record of settings.appDir once both lines are on disk,
// else when they are. False when the record could not be written now; it is kept and
// written after a later result line.
bool recordAbsence(RunData &run, const Settings &settings, int absentWinner, int replacement);

// Appends the absence records whose lines are on disk now; false when one could not be written.
bool writePendingAbsences(RunData &run);

// The result lines and absence records still waiting, tried again where they belong; true when
// nothing waits any more.
bool writeWaitingLines(RunData &run);

// What still waits, one line each: the file it is meant for (name without a folder), a tab and
// the line as it would be written there; CR LF after each.
QString waitingLinesText(const RunData &run);

// After archiveResultFiles moved the event's files out of appDir: result lines and absence
// records still waiting for them follow them into the archive folder.
void followArchive(RunData &run, const QString &appDir, const ArchiveResult &archived);
