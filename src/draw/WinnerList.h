#pragma once

struct Settings;
class RunData;

// Empties the winner list of the run.
void clearWinnerList(RunData &run);

// Records entry (1..entryCount) as the next winner: its columns join the winner list, then its
// line (the columns joined by the field separator) is appended to run.resultFileName. Returns
// whether the line reached the file; when it did not, the winner stays listed and the line is
// kept in run.unwrittenResultLines and written first at the next append that succeeds.
bool addWinner(RunData &run, const Settings &settings, int entry);
