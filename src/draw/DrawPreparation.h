#pragma once

#include <QList>

#include <vector>

class DrawRandom;
class EntryTable;
class RunData;

// Entries left out of a draw, indexed by entry number - 1: an entry is left out when an
// exclusion record equals all three of its columns. Empty when nothing is left out.
using ExcludedEntries = std::vector<bool>;

// One pass over the table against a hash of the exclusion records, O(entries + records).
ExcludedEntries excludedEntries(const EntryTable &entries, const EntryTable &excludeList);

// The same against the exclusion list and the event's earlier winners the run keeps out.
ExcludedEntries excludedEntries(const RunData &run);

// The number of entries that take part in a draw: what the draw count is checked against.
int participantCount(const RunData &run);

// k distinct entry numbers out of 1..n, skipping excluded ones, in the order drawn; every
// ordered k-sequence of the candidates is equally likely. O(n + k). Fewer than k come back
// only when fewer candidates exist.
QList<int> pickDistinct(int n, int k, DrawRandom &random, const ExcludedEntries &excluded = {});

// Replaces the draw order by drawCount distinct entries that take part.
void chooseDrawOrder(RunData &run, int drawCount, DrawRandom &random);

// Moves the entries the VIP list names to their positions. A record is skipped when it names
// no entry or an excluded one, or when its position is not a whole number in 1..drawCount.
void placeVipEntries(RunData &run);

// The whole preparation after the lists are loaded: checks drawCount against the entries that
// take part and, when it fits (1 <= drawCount <= participants), fills the draw order, places
// the VIP entries and sets pressCount to 0. A refused count changes nothing and returns false.
// Either way run.earlierWinnersKeptOut says how many entries run.earlierWinners kept out, and
// leftOut (when given) receives excludedEntries(run), worked out in the same pass.
bool prepareDraw(RunData &run, int drawCount, DrawRandom &random, ExcludedEntries *leftOut = nullptr);

// A replacement for an absent winner: a uniform one of the entries that take part (not on the
// exclusion list) and have not won in the event (neither in eventWinners nor in the run's
// winner list), whatever 中奖者不再参与 says. 0 when nobody is left.
int pickReplacement(const RunData &run, const EntryTable &eventWinners, DrawRandom &random);
