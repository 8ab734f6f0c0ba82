#include "RollingDisplay.h"

#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"
#include "entries/EntryTable.h"

using namespace Qt::StringLiterals;

namespace RollingDisplay {

QList<int> makeRollSequence(DrawRandom &random, int length, int entryCount,
                            const ExcludedEntries &excluded)
{
    QList<int> sequence;
    const int n = entryCount;
    if (length <= 0 || n <= 0)
        return sequence;
    random.reseedFromClock();
    sequence.reserve(length);

    const auto takesPart = [&](int i) {
        return std::size_t(i - 1) >= excluded.size() || !excluded[std::size_t(i - 1)];
    };
    if (excluded.empty()) {
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
            if (takesPart(i)) {
                pick = i;
                break;
            }
        }
        if (pick == 0) {
            if (!listed) {
                for (int i = 1; i <= n; ++i) {
                    if (takesPart(i))
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
