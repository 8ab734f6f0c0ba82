#pragma once

#include <QList>
#include <QString>

#include <optional>

class DrawRandom;
class EntryTable;

namespace RollingDisplay {

// Lines the idle roll list shows at a time.
constexpr int rollListLines = 20;

// length entry numbers, each drawn uniformly from the entries that take part: every entry of
// the table, the last one included, except those the exclusion list names. When the exclusion
// list names them all, the whole table rolls. Empty for length <= 0 or an empty table.
QList<int> makeRollSequence(DrawRandom &random, int length, const EntryTable &table,
                            const EntryTable &excludeList);

// The idle roll list from start: the twenty entries after it, wrapping to entry 1, each as
// "column1 column2 column3" ended by CR LF. Nothing for an empty table or a start below 0.
std::optional<QString> rollListText(const EntryTable &table, int start);

} // namespace RollingDisplay
