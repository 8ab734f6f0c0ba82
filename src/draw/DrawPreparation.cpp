#include "DrawPreparation.h"

#include "DrawRandom.h"
#include "RunData.h"

#include <algorithm>

namespace {

constexpr int excludeTag = -1;
constexpr int earlierWinnerTag = -2;

// Records to find in a large table, keyed by a cheap hash of their first column. A bit table
// over the hash turns away almost every other entry; those that pass find their records in a
// flat open-addressing table at most half full. A pass over a million entries so stays fast
// with a few records and with a hundred thousand (the event's earlier winners).
class RecordIndex
{
public:
    explicit RecordIndex(qsizetype records)
    {
        size_t capacity = 16;
        while (capacity < 2 * size_t(std::max<qsizetype>(records, 0)))
            capacity *= 2;
        buckets.assign(capacity, Slot{0, -1});
        mask = capacity - 1;
        // About 64 bits a record keep the share of other entries that pass near 1 %.
        while (filterMask < 64 * records && filterMask < (quint32(1) << 23) - 1)
            filterMask = filterMask * 2 + 1;
        filter.assign(filterMask / 64 + 1, 0);
        this->records.reserve(size_t(std::max<qsizetype>(records, 0)));
    }

    void add(QStringView c1, QStringView c2, QStringView c3, int tag)
    {
        const quint32 h = quickHash(c1);
        size_t s = h & mask;
        while (buckets[s].record >= 0)
            s = (s + 1) & mask;
        buckets[s] = {h, int(records.size())};
        records.push_back({c1, c2, c3, tag});
        filter[(h & filterMask) / 64] |= quint64(1) << (h % 64);
    }
    void addExclusions(const EntryTable &excludeList, int tag = excludeTag)
    {
        for (int i = 1; i <= excludeList.entryCount(); ++i)
            add(excludeList.column(i, 1), excludeList.column(i, 2), excludeList.column(i, 3), tag);
    }
    bool isEmpty() const { return records.empty(); }

    // Calls found(tag) for every record equal to entry i of the table, in the order added.
    template<typename Found>
    void match(const EntryTable &entries, int i, Found found) const
    {
        const QStringView c1 = entries.column(i, 1);
        const quint32 h = quickHash(c1);
        if (!(filter[(h & filterMask) / 64] & (quint64(1) << (h % 64))))
            return;
        // Without deletions, records of one hash lie along the probe path in the order added.
        for (size_t s = h & mask; buckets[s].record >= 0; s = (s + 1) & mask) {
            if (buckets[s].hash != h)
                continue;
            const Record &r = records[size_t(buckets[s].record)];
            if (r.c1 == c1 && entries.column(i, 2) == r.c2 && entries.column(i, 3) == r.c3)
                found(r.tag);
        }
    }

private:
    // FNV-1a over the UTF-16 units, then a finaliser so the low bits that pick a slot vary.
    static quint32 quickHash(QStringView s)
    {
        quint32 h = 2166136261u;
        for (QChar c : s)
            h = (h ^ c.unicode()) * 16777619u;
        h ^= h >> 16;
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
        return h;
    }

    struct Slot {
        quint32 hash;
        int record; // -1 for an empty slot
    };
    // The views point into the lists the records come from, which outlive the index.
    struct Record {
        QStringView c1;
        QStringView c2;
        QStringView c3;
        int tag;
    };
    std::vector<Slot> buckets;
    size_t mask = 0;
    std::vector<Record> records;
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

void chooseDrawOrder(RunData &run, int drawCount, DrawRandom &random)
{
    run.drawOrder = pickDistinct(run.entryTable.entryCount(), drawCount, random, excludedEntries(run));
}

void placeVipEntries(RunData &run)
{
    if (run.vipList.vipCount() > 0)
        applyVipEntries(run, matchLists(run));
}

bool prepareDraw(RunData &run, int drawCount, DrawRandom &random, ExcludedEntries *leftOut)
{
    ListMatches m = matchLists(run);
    run.earlierWinnersKeptOut = m.earlierWinnersKeptOut;
    const int n = run.entryTable.entryCount();
    const bool fits = drawCount >= 1 && drawCount <= countParticipants(n, m.excluded);
    if (fits) {
        run.drawOrder = pickDistinct(n, drawCount, random, m.excluded);
        applyVipEntries(run, m);
        run.pressCount = 0;
    }
    if (leftOut)
        *leftOut = std::move(m.excluded);
    return fits;
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
