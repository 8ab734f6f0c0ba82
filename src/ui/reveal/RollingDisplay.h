#pragma once

#include "draw/DrawPreparation.h"

#include <QList>
#include <QString>

#include <optional>

class DrawRandom;
class EntryTable;

namespace RollingDisplay {

// Lines the idle roll list shows at a time.
constexpr int rollListLines = 20;

// length entry numbers, each drawn uniformly from the entries that take part: every entry of
// 1..entryCount, the last one included, except those excluded marks. excluded is worked out once
// when the run is prepared (excludedEntries), so a rolling step costs no pass over the exclusion
// list; entries beyond its size take part. When every entry is excluded, the whole table rolls.
// Empty for length <= 0 or an empty table.
QList<int> makeRollSequence(DrawRandom &random, int length, int entryCount,
                            const ExcludedEntries &excluded);

// The idle roll list from start: the twenty entries after it, wrapping to entry 1, each as
// "column1 column2 column3" ended by CR LF. Nothing for an empty table or a start below 0.
std::optional<QString> rollListText(const EntryTable &table, int start);

} // namespace RollingDisplay
