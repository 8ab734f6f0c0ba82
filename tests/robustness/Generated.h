#pragma once

#include "entries/EntryTable.h"

#include <QString>

// Content the kill and full-disk tests and their driver build alike, so the test knows what
// every line or version written by the driver must be.
namespace Generated {

inline constexpr char16_t separator[] = u"\t";

// Entry i of a table of n (1-based): Chinese text in every column, so a line cut inside a
// character would not decode.
EntryRecord entry(int i);
void fillTable(EntryTable &table, int n);
// The result line addWinner writes for entry i.
QString resultLine(int i);

// Version v of a data file of about 3 MB: a head line of its own, the body every version shares
// and a tail of v % 7 lines. A file cut short or mixed from two versions equals neither.
QString dataFileText(int version);
QString dataFileHead(int version);
QString dataFileBody();
QString dataFileTail(int version);

// The settings key the tests rewrite, and its value in version v (lengths differ).
QString settingsKey();
QString settingsValue(int version);

} // namespace Generated
