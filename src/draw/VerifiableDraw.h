#pragma once

#include "VerifiableRecord.h"
#include "VerifiableSelection.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>

class EntryTable;
struct InterruptedDraw;

// A verifiable draw in progress: its pool file and record beside the program, the random input
// once given, and the selections, each recorded before its winner is shown. Entries are named
// by their numbers in the loaded table; pool position p is entry poolEntries[p - 1].
class VerifiableDraw
{
public:
    VerifiableDraw() = default;
    VerifiableDraw(const VerifiableDraw &) = delete;
    VerifiableDraw &operator=(const VerifiableDraw &) = delete;

    // Fixes the pool (the entries in the order of their lines) and works out its digest;
    // nothing is written yet. Ends any draw in progress. The table's other entries were left
    // out by the exclusion list, or as earlier winners (earlierWinnersLeftOut of them).
    void setPool(const EntryTable &table, QList<int> poolEntries, const QString &separator,
                 int earlierWinnersLeftOut = 0);
    // Writes the pool file and the record's first lines (appDir ends in "/"), the prize among
    // them unless it is empty. False, with nothing kept, when either cannot be written.
    bool begin(const QString &appDir, const QString &stamp, int drawCount, const QString &prize = {});
    // Takes up an earlier record of the same pool (its digest equal to this pool's) whose random
    // input is still missing; false when recordFile is not such a record.
    bool resume(const QString &recordFile, int drawCount);
    // Records of appDir for this pool and draw count whose random input is missing and whose
    // pool file still matches, newest first.
    QStringList openRecords(const QString &appDir, int drawCount) const;

    // Takes up an interrupted draw where it stopped: its winners recorded but not shown come
    // first, then the sequence goes on. The pool's lines are found in table, the data file as
    // loaded now. An empty text on success, else why it cannot go on (nothing is kept then).
    QString continueDraw(const InterruptedDraw &interrupted, const EntryTable &table, const QString &separator);
    bool isContinued() const { return continued; }
    // The prize the continued record names; "" for none.
    QString prize() const { return prizeName; }
    // Winners still to reveal: recorded ones first, then selections up to the expected number.
    int winnersToReveal() const;

    bool isActive() const { return !recordPath.isEmpty(); }
    void clear();

    QString recordFile() const { return recordPath; }
    QString poolFile() const { return poolPath; }
    QString poolSha256() const { return digest; }
    int poolSize() const { return int(pool.size()); }
    int drawCount() const { return count; }
    bool hasKey() const { return selection != nullptr; }
    QString key() const { return keyText; }

    // Records the sources and their key. False when a source is not numbers or the record
    // cannot be written; nothing changes then.
    bool setRandomInput(const QStringList &sources);
    // The next selection, recorded (中奖<n>=<position>, flushed) before it is returned: the
    // entry number, 0 when nothing is left or the line could not be written.
    int selectNext();
    // Records 缺席 for the winner listed at listed (1-based, this session's list) and then the
    // next selection, the replacement.
    int redrawAbsent(int listed);
    bool canSelect() const { return !unshown.isEmpty() || (selection && selection->canSelect()); }

private:
    void endDraw();

    QByteArray bytes; // of the pool file, until it is written
    QString recordPath;
    QString poolPath;
    QString digest;
    QList<int> pool;
    int count = 0;
    QString keyText;
    std::unique_ptr<VerifiableSelection> selection;
    int winners = 0;
    QSet<int> absent; // winner numbers whose 缺席 line is written
    int leftOutEarlier = 0;
    int leftOutExcluded = 0;
    // A continued draw: recorded winners not shown yet (pool positions, in order), how many 中奖
    // lines it expects, and how many winners were shown before it went on.
    bool continued = false;
    QString prizeName;
    QList<int> unshown;
    int expected = 0;
    int shownBefore = 0;
};
