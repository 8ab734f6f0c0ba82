#pragma once

#include <QList>
#include <QString>

#include <vector>

class EntryTable;

// Entries that stand for the same person: the same first column (a number or a name), or the
// same three columns where the first is empty. Twice in the list is twice the chance.
struct DuplicateGroup {
    QList<int> entries;    // entry numbers, ascending; the first is the one to keep
    bool wholeRow = false; // every member equals the first in all three columns
};

// Groups in the order of their first entry; O(entries).
QList<DuplicateGroup> findDuplicates(const EntryTable &table);

// True for each entry (index entry - 1) that repeats an earlier one of its group.
std::vector<bool> laterRepeats(const QList<DuplicateGroup> &groups, int entryCount);

// "1001、1005、1010 等": what the groups repeat, the first few of them.
QString repeatedKeys(const QList<DuplicateGroup> &groups, const EntryTable &table, int shown = 3);

// A line for the draw's confirmation: "\r\n数据文件第一列有 2 个值重复出现：1001、1005。", or ""
// when nothing repeats. The same person twice has twice the chance; it is said, not refused,
// as a list may be meant so.
QString duplicatesNote(const EntryTable &table);
