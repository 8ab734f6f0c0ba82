#include "RollingDisplay.h"

#include "DrawPreparation.h"
#include "DrawRandom.h"
#include "entries/EntryTable.h"

using namespace Qt::StringLiterals;

namespace RollingDisplay {

namespace {

bool takesPart(const EntryTable &table, const EntryTable &excludeList, int i)
{
    return !isExcluded(excludeList, table.column(i, 1), table.column(i, 2), table.column(i, 3));
}

} // namespace

QList<int> makeRollSequence(DrawRandom &random, int length, const EntryTable &table,
                            const EntryTable &excludeList)
{
    QList<int> sequence;
    const int n = table.entryCount();
    if (length <= 0 || n == 0)
        return sequence;
    random.reseedFromClock();
    sequence.reserve(length);

    if (excludeList.isEmpty()) {
        for (int s = 0; s < length; ++s)
            sequence.append(random.randomInclusive(1, n));
        return sequence;
    }

    // An exclusion list is short and excludes few entries, so redrawing an excluded pick is
    // cheap and stays uniform over the rest. Should most of the table be excluded, the entries
    // that take part are listed once and drawn from directly.
    constexpr int triesBeforeListing = 32;
    QList<int> candidates;
    bool listed = false;
    for (int s = 0; s < length; ++s) {
        int pick = 0;
        for (int t = 0; t < triesBeforeListing && !listed; ++t) {
            const int i = random.randomInclusive(1, n);
            if (takesPart(table, excludeList, i)) {
                pick = i;
                break;
            }
        }
        if (pick == 0) {
            if (!listed) {
                const ExcludedEntries excluded = excludedEntries(table, excludeList);
                for (int i = 1; i <= n; ++i) {
                    if (excluded.empty() || !excluded[std::size_t(i - 1)])
                        candidates.append(i);
                }
                listed = true;
            }
            pick = candidates.isEmpty()
                ? random.randomInclusive(1, n)
                : candidates[random.randomInclusive(0, int(candidates.size()) - 1)];
        }
        sequence.append(pick);
    }
    return sequence;
}

std::optional<QString> rollListText(const EntryTable &table, int start)
{
    const int n = table.entryCount();
    if (n == 0 || start < 0)
        return std::nullopt;
    QString text;
    qint64 i = start;
    for (int line = 0; line < rollListLines; ++line) {
        ++i;
        if (i > n)
            i = 1;
        const int e = int(i);
        text += table.column(e, 1) % u' ' % table.column(e, 2) % u' ' % table.column(e, 3)
            % u"\r\n";
    }
    return text;
}

} // namespace RollingDisplay
