#pragma once

#include <QString>

#include <vector>

// One participant: the three text columns of a data line.
struct EntryRecord {
    QString column1;
    QString column2;
    QString column3;

    friend bool operator==(const EntryRecord &, const EntryRecord &) = default;
};

// Entries numbered 1..entryCount() in file order. The texts live in one shared pool and each
// entry keeps offsets into it, so a million-line file costs little more than its decoded text.
class EntryTable
{
public:
    int entryCount() const { return static_cast<int>(entrySlots.size()); }
    bool isEmpty() const { return entrySlots.empty(); }

    // Entry i, 1-based; column c is 1, 2 or 3.
    QStringView column(int i, int c) const;
    EntryRecord record(int i) const;
    bool equals(int i, QStringView c1, QStringView c2, QStringView c3) const;

    void clear();
    void append(QStringView c1, QStringView c2, QStringView c3);
    void append(const EntryRecord &r) { append(r.column1, r.column2, r.column3); }
    void replace(int i, const EntryRecord &r);
    void remove(int i);

    // Replaces the content with the entries of text (lines ended by CR LF or LF, separator-cut
    // fields).
    // Returns how many lines holding more than blanks gave no entry; wideLines (when given)
    // receives how many entries dropped more than blanks after a third separator.
    int parse(QString text, QStringView separator, int *wideLines = nullptr);

private:
    // 32-bit offsets keep a million entries at 24 MB; texts beyond 2^32 characters are not loaded.
    struct Slot {
        quint32 start[3];
        quint32 length[3];
    };
    Slot store(QStringView c1, QStringView c2, QStringView c3);
    void compactIfWasteful();

    QString pool;
    qsizetype usedChars = 0; // characters still referenced; the rest is garbage from edits
    std::vector<Slot> entrySlots;
};

// Reads fileName with readWholeFile and replaces table by its entries; a missing or unreadable
// file gives an empty table. Nothing is reported; the result is parse's count of unread lines.
int loadEntryFile(const QString &fileName, const QString &separator, EntryTable &table);

// True when some record of the exclusion list has all three columns equal (case-sensitive).
bool isExcluded(const EntryTable &excludeList, QStringView c1, QStringView c2, QStringView c3);
