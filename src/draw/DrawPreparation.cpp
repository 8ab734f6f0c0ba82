#include "DrawPreparation.h"

#include "DrawRandom.h"
#include "RunData.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr int excludeTag = -1;
constexpr int earlierWinnerTag = -2;

// A few records to find in a large table. They are keyed by their first column; a bit table
// over a cheap hash of it turns away almost every other entry before the hash lookup, which
// keeps a pass over a million entries within a few milliseconds.
class RecordIndex
{
public:
    // About 64 bits a record keep the share of other entries that pass the bit table near 1 %.
    explicit RecordIndex(qsizetype records)
    {
        while (filterMask < 64 * records && filterMask < (quint32(1) << 23) - 1)
            filterMask = filterMask * 2 + 1;
        filter.assign(filterMask / 64 + 1, 0);
    }

    void add(QStringView c1, QStringView c2, QStringView c3, int tag)
    {
        byColumn1[c1].append({c2, c3, tag});
        const quint32 h = quickHash(c1) & filterMask;
        filter[h / 64] |= quint64(1) << (h % 64);
    }
    void addExclusions(const EntryTable &excludeList, int tag = excludeTag)
    {
        for (int i = 1; i <= excludeList.entryCount(); ++i)
            add(excludeList.column(i, 1), excludeList.column(i, 2), excludeList.column(i, 3), tag);
    }
    bool isEmpty() const { return byColumn1.isEmpty(); }

    // Calls found(tag) for every record equal to entry i of the table.
    template<typename Found>
    void match(const EntryTable &entries, int i, Found found) const
    {
        const QStringView c1 = entries.column(i, 1);
        const quint32 h = quickHash(c1) & filterMask;
        if (!(filter[h / 64] & (quint64(1) << (h % 64))))
            return;
        const auto it = byColumn1.constFind(c1);
        if (it == byColumn1.cend())
            return;
        for (const Rest &r : *it) {
            if (entries.column(i, 2) == r.c2 && entries.column(i, 3) == r.c3)
                found(r.tag);
        }
    }

private:
    // FNV-1a over the UTF-16 units.
    static quint32 quickHash(QStringView s)
    {
        quint32 h = 2166136261u;
        for (QChar c : s)
            h = (h ^ c.unicode()) * 16777619u;
        return h ^ (h >> 15);
    }

    struct Rest {
        QStringView c2;
        QStringView c3;
        int tag;
    };
    // The views point into the lists the records come from, which outlive the index.
    QHash<QStringView, QList<Rest>> byColumn1;
    quint32 filterMask = (quint32(1) << 16) - 1;
    std::vector<quint64> filter;
};

struct ListMatches {
    ExcludedEntries excluded;  // empty when no entry can be left out
    std::vector<int> vipEntry; // first entry each VIP record names, 0 for none
    int earlierWinnersKeptOut = 0;
};

// The lists against the table in one pass over it.
ListMatches matchLists(const RunData &run)
{
    const EntryTable &entries = run.entryTable;
    const int n = entries.entryCount();
    RecordIndex index(run.excludeList.entryCount() + run.earlierWinners.entryCount() + run.vipList.vipCount());
    index.addExclusions(run.excludeList);
    index.addExclusions(run.earlierWinners, earlierWinnerTag);
    const bool anyExcluded = !index.isEmpty();
    const int vipCount = run.vipList.vipCount();
    for (int v = 1; v <= vipCount; ++v) {
        const VipRecord &r = run.vipList.record(v);
        index.add(r.column1, r.column2, r.column3, v - 1);
    }

    ListMatches m;
    m.vipEntry.assign(static_cast<size_t>(vipCount), 0);
    if (anyExcluded)
        m.excluded.assign(static_cast<size_t>(n), false);
    if (index.isEmpty())
        return m;

    int vipUnmatched = vipCount;
    for (int i = 1; i <= n; ++i) {
        bool wonEarlier = false;
        index.match(entries, i, [&](int tag) {
            if (tag == excludeTag || tag == earlierWinnerTag) {
                m.excluded[static_cast<size_t>(i - 1)] = true;
                wonEarlier = wonEarlier || tag == earlierWinnerTag;
            } else if (m.vipEntry[static_cast<size_t>(tag)] == 0) {
                m.vipEntry[static_cast<size_t>(tag)] = i;
                --vipUnmatched;
            }
        });
        m.earlierWinnersKeptOut += wonEarlier ? 1 : 0;
        // Only first matches count for the VIP list, so without exclusions the rest is moot.
        if (!anyExcluded && vipUnmatched == 0)
            break;
    }
    return m;
}

int countParticipants(int n, const ExcludedEntries &excluded)
{
    if (excluded.empty())
        return n;
    return static_cast<int>(std::count(excluded.begin(), excluded.end(), false));
}

// A position written as decimal digits in 1..drawCount; 0 for any other text.
int vipPosition(QStringView text, int drawCount)
{
    if (text.isEmpty())
        return 0;
    qint64 p = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        p = p * 10 + (c.unicode() - u'0');
        if (p > drawCount)
            return 0;
    }
    return static_cast<int>(p);
}

void applyVipEntries(RunData &run, const ListMatches &m)
{
    QList<int> &order = run.drawOrder;
    const int drawCount = static_cast<int>(order.size());
    for (int v = 1; v <= run.vipList.vipCount(); ++v) {
        const int j = m.vipEntry[static_cast<size_t>(v - 1)];
        // Identical entries are excluded together, so the first one stands for all of them.
        if (j == 0 || (!m.excluded.empty() && m.excluded[static_cast<size_t>(j - 1)]))
            continue;
        const int p = vipPosition(run.vipList.record(v).position, drawCount);
        if (p == 0)
            continue;
        // Already drawn: trade places with the entry at p. Not drawn: it replaces that entry.
        const int old = order[p - 1];
        const auto k = std::find(order.begin(), order.end(), j);
        if (k != order.end())
            *k = old;
        order[p - 1] = j;
    }
}

// Entries equal to a record of any of the lists.
ExcludedEntries matchAny(const EntryTable &entries, std::initializer_list<const EntryTable *> lists)
{
    qsizetype records = 0;
    for (const EntryTable *list : lists)
        records += list->entryCount();
    RecordIndex index(records);
    for (const EntryTable *list : lists)
        index.addExclusions(*list);
    ExcludedEntries excluded;
    if (index.isEmpty())
        return excluded;
    const int n = entries.entryCount();
    excluded.assign(static_cast<size_t>(n), false);
    for (int i = 1; i <= n; ++i)
        index.match(entries, i, [&](int) { excluded[static_cast<size_t>(i - 1)] = true; });
    return excluded;
}

} // namespace

ExcludedEntries excludedEntries(const EntryTable &entries, const EntryTable &excludeList)
{
    return matchAny(entries, {&excludeList});
}

ExcludedEntries excludedEntries(const RunData &run)
{
    return matchAny(run.entryTable, {&run.excludeList, &run.earlierWinners});
}

int participantCount(const RunData &run)
{
    return countParticipants(run.entryTable.entryCount(), excludedEntries(run));
}

QList<int> pickDistinct(int n, int k, DrawRandom &random, const ExcludedEntries &excluded)
{
    std::vector<int> pool;
    pool.reserve(static_cast<size_t>(std::max(n, 0)));
    const int masked = static_cast<int>(std::min<size_t>(excluded.size(), static_cast<size_t>(std::max(n, 0))));
    for (int e = 1; e <= masked; ++e) {
        if (!excluded[static_cast<size_t>(e - 1)])
            pool.push_back(e);
    }
    for (int e = masked + 1; e <= n; ++e)
        pool.push_back(e);

    const int m = static_cast<int>(pool.size());
    k = std::clamp(k, 0, m);
    QList<int> order;
    order.reserve(k);
    // Partial Fisher-Yates: step i takes a uniform one of the m - i candidates not yet taken,
    // which costs O(1) where removing from the middle of the pool would cost O(n).
    for (int i = 0; i < k; ++i) {
        const int j = random.randomInclusive(i, m - 1);
        std::swap(pool[static_cast<size_t>(i)], pool[static_cast<size_t>(j)]);
        order.append(pool[static_cast<size_t>(i)]);
    }
    return order;
}

void zopSetOKNumber(RunData &run, int drawCount, DrawRandom &random)
{
    run.drawOrder = pickDistinct(run.entryTable.entryCount(), drawCount, random, excludedEntries(run));
}

void placeVipEntries(RunData &run)
{
    if (run.vipList.vipCount() > 0)
        applyVipEntries(run, matchLists(run));
}

bool prepareDraw(RunData &run, int drawCount, DrawRandom &random)
{
    const ListMatches m = matchLists(run);
    run.earlierWinnersKeptOut = m.earlierWinnersKeptOut;
    const int n = run.entryTable.entryCount();
    if (drawCount < 1 || drawCount > countParticipants(n, m.excluded))
        return false;
    run.drawOrder = pickDistinct(n, drawCount, random, m.excluded);
    applyVipEntries(run, m);
    run.pressCount = 0;
    return true;
}

int pickReplacement(const RunData &run, const EntryTable &eventWinners, DrawRandom &random)
{
    // The run's own winners count even when their lines did not reach a result file.
    EntryTable shown;
    for (const EntryRecord &w : run.winnerList)
        shown.append(w);
    const QList<int> pick = pickDistinct(run.entryTable.entryCount(), 1, random,
                                         matchAny(run.entryTable, {&run.excludeList, &eventWinners, &shown}));
    return pick.value(0);
}
