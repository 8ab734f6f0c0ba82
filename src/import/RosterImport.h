#pragma once

#include "entries/EntryTable.h"

#include <QList>

#include <array>
#include <optional>

class RosterSheet;

// Turns a sheet into data file entries: which row is headings, which columns become the
// three columns, and what a cell may not hold.
namespace RosterImport {

struct Mapping {
    bool header = false;
    std::array<int, 3> columns{-1, -1, -1}; // sheet columns from 0; -1 leaves that column empty
};

// True when the first non-empty row reads as headings: a known heading word, or words only
// above a row with numbers.
bool looksLikeHeader(const RosterSheet &sheet);

// Headings such as 工号/编号, 姓名, 部门/单位 where the sheet has them, otherwise the first
// non-empty columns in order. header decides the first row; without it, looksLikeHeader.
Mapping defaultMapping(const RosterSheet &sheet, std::optional<bool> header = std::nullopt);

// The row that holds the headings (from 0), -1 when the sheet has no non-empty row.
int headerRow(const RosterSheet &sheet);

struct Entries {
    EntryTable entries;
    QList<int> rowNumbers; // the sheet row each entry came from
    // Cells holding a tab, a line break or the separator, which the data file cannot hold:
    // each such character became a blank (dropped where the separator itself is a blank).
    int replacedCells = 0;
};

// The entries of the sheet's data rows; a row whose three mapped cells are empty gives none.
Entries extract(const RosterSheet &sheet, const Mapping &mapping, QStringView separator);

} // namespace RosterImport

struct DuplicateGroup;

namespace RosterImport {

// One line about a group of duplicates: "1001 重复：第 3、8 行", "张三 销售部 整行重复：…".
// Entries 1..existing are the list the import is added to ("现有第 N 条"); the rest came from
// sheet rows rowNumbers[entry - existing - 1].
QString describe(const DuplicateGroup &group, const EntryTable &entries, const QList<int> &rowNumbers,
                 int existing = 0);

} // namespace RosterImport
