#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"
#include "draw/RunData.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <functional>
#include <numeric>

using namespace Qt::StringLiterals;

// Statistical checks of the selection. Each check is a chi-square test at a false-alarm rate of
// 0.001 over draws from a seeded generator; the same checks must reject deliberately broken
// pickers, which shows that they can see the faults they are meant for.

namespace {

constexpr double falseAlarmRate = 0.001;

using Picker = std::function<QList<int>(int n, int k, DrawRandom &random)>;

QList<int> soundPicker(int n, int k, DrawRandom &random)
{
    return pickDistinct(n, k, random);
}

QList<int> identityPool(int n)
{
    QList<int> pool(n);
    std::iota(pool.begin(), pool.end(), 1);
    return pool;
}

// Partial Fisher-Yates whose bound stops one short: the last pool place is never taken.
QList<int> offByOnePicker(int n, int k, DrawRandom &random)
{
    QList<int> pool = identityPool(n), out;
    for (int i = 0; i < k; ++i) {
        std::swap(pool[i], pool[random.randomHalfOpen(i, n - 1)]);
        out.append(pool[i]);
    }
    return out;
}

// A 15-bit word modulo the candidates left: the low pool places come up more often.
QList<int> modulo15BitPicker(int n, int k, DrawRandom &random)
{
    QList<int> pool = identityPool(n), out;
    for (int i = 0; i < k; ++i) {
        std::swap(pool[i], pool[i + static_cast<int>(random.below(32768) % quint64(n - i))]);
        out.append(pool[i]);
    }
    return out;
}

// A random first entry, then the entries after it, wrapping round.
QList<int> consecutivePicker(int n, int k, DrawRandom &random)
{
    const int start = random.randomInclusive(0, n - 1);
    QList<int> out;
    for (int i = 0; i < k; ++i)
        out.append((start + i) % n + 1);
    return out;
}

// Upper tail of the chi-square distribution: the regularized gamma function Q(df/2, x/2).
double chiSquarePValue(double x, int df)
{
    const double a = df / 2.0, y = x / 2.0;
    if (y <= 0)
        return 1.0;
    const double front = std::exp(a * std::log(y) - y - std::lgamma(a));
    if (y < a + 1) {
        double term = 1.0 / a, sum = term;
        for (int i = 1; i < 100000 && term > sum * 1e-16; ++i) {
            term *= y / (a + i);
            sum += term;
        }
        return std::max(0.0, 1.0 - front * sum);
    }
    // Continued fraction, Lentz's method.
    const double tiny = 1e-300;
    double b = y + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 100000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        d = std::abs(d) < tiny ? tiny : d;
        c = b + an / c;
        c = std::abs(c) < tiny ? tiny : c;
        d = 1 / d;
        h *= d * c;
        if (std::abs(d * c - 1) < 1e-16)
            break;
    }
    return front * h;
}

struct Check {
    QString name;
    double statistic = 0;
    int df = 0;
    double pValue() const { return chiSquarePValue(statistic, df); }
    bool rejects() const { return pValue() < falseAlarmRate; }
    QString describe() const
    {
        return u"%1: chi-square %2 on %3 df, p = %4"_s.arg(name).arg(statistic, 0, 'f', 1).arg(df).arg(pValue(), 0, 'g', 3);
    }
};

// Win counts of m candidates over N draws of k distinct ones. Each count has mean N k / m; as
// no draw holds a candidate twice, the counts spread by N k (m - k) / (m (m - 1)) around it
// (not by the multinomial N k / m), which makes the sum chi-square with m - 1 df.
Check entryCountCheck(const std::vector<qint64> &counts, int draws, int k)
{
    const double m = static_cast<double>(counts.size());
    const double mean = double(draws) * k / m;
    const double spread = double(draws) * k * (m - k) / (m * (m - 1));
    double x = 0;
    for (qint64 c : counts)
        x += (c - mean) * (c - mean) / spread;
    return {u"entry counts"_s, x, static_cast<int>(counts.size()) - 1};
}

// k = 3 of n = 10, 20,000 draws: how often each entry wins, the 120 winner sets, and
// entry by reveal position.
QList<Check> smallChecks(const Picker &pick, quint64 seed)
{
    constexpr int n = 10, k = 3, draws = 20000;
    DrawRandom random(std::make_unique<XoshiroSource>(seed));
    std::vector<qint64> wins(n), sets(1 << n);
    std::vector<std::array<qint64, n>> byPosition(k, std::array<qint64, n>{});
    for (int d = 0; d < draws; ++d) {
        const QList<int> order = pick(n, k, random);
        int mask = 0;
        for (int p = 0; p < k; ++p) {
            ++wins[order[p] - 1];
            ++byPosition[p][order[p] - 1];
            mask |= 1 << (order[p] - 1);
        }
        ++sets[mask];
    }

    // Every set of k is equally likely: Pearson over the C(n, k) sets, those never drawn too.
    double setX = 0;
    int setCount = 0;
    for (int mask = 0; mask < (1 << n); ++mask) {
        if (std::popcount(unsigned(mask)) != k)
            continue;
        ++setCount;
        const double expected = double(draws) / 120;
        setX += (sets[mask] - expected) * (sets[mask] - expected) / expected;
    }

    // Entry by position, the part the entry totals do not explain: each cell less a k-th of its
    // entry's total. In that part a draw's cells spread by 1 / (n - 1), so the scaled sum of
    // squares is chi-square with (k - 1)(n - 1) df.
    double cellX = 0;
    for (int e = 0; e < n; ++e) {
        for (int p = 0; p < k; ++p) {
            const double residual = byPosition[p][e] - double(wins[e]) / k;
            cellX += (n - 1) * residual * residual / draws;
        }
    }
    return {entryCountCheck(wins, draws, k), {u"winner sets"_s, setX, setCount - 1},
            {u"entry by position"_s, cellX, (k - 1) * (n - 1)}};
}

// k = 100 of n = 10,000, 2,000 draws: entry win counts, and the gap from each winner to the
// next (mod n), uniform on 1..n - 1 and taken in 100 bins.
QList<Check> scaleChecks(const Picker &pick, quint64 seed)
{
    constexpr int n = 10000, k = 100, draws = 2000, bins = 100;
    DrawRandom random(std::make_unique<XoshiroSource>(seed));
    std::vector<qint64> wins(n), gaps(bins);
    auto binOf = [](int gap) { return static_cast<int>(qint64(gap - 1) * bins / (n - 1)); };
    for (int d = 0; d < draws; ++d) {
        const QList<int> order = pick(n, k, random);
        for (int p = 0; p < k; ++p) {
            ++wins[order[p] - 1];
            if (p > 0)
                ++gaps[binOf((order[p] - order[p - 1] + n) % n)];
        }
    }
    std::vector<qint64> binSize(bins);
    for (int gap = 1; gap < n; ++gap)
        ++binSize[binOf(gap)];
    double gapX = 0;
    for (int b = 0; b < bins; ++b) {
        const double expected = double(draws) * (k - 1) * binSize[b] / (n - 1);
        gapX += (gaps[b] - expected) * (gaps[b] - expected) / expected;
    }
    return {entryCountCheck(wins, draws, k), {u"successive gaps"_s, gapX, bins - 1}};
}

} // namespace

Q_DECLARE_METATYPE(Picker)

class TestDrawSelection : public QObject
{
    Q_OBJECT

private slots:
    void soundPickerPassesEveryCheck_data();
    void soundPickerPassesEveryCheck();
    void brokenPickersAreRejected_data();
    void brokenPickersAreRejected();
    void excludedEntriesNeverDrawnOthersUniform();
    void replacementsNeverWonBeforeOthersUniform();
};

void TestDrawSelection::soundPickerPassesEveryCheck_data()
{
    QTest::addColumn<bool>("atScale");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("k=3 of n=10, 20000 draws") << false << quint64(20240315);
    QTest::newRow("k=3 of n=10, another seed") << false << quint64(93007);
    QTest::newRow("k=100 of n=10000, 2000 draws") << true << quint64(20240315);
}

void TestDrawSelection::soundPickerPassesEveryCheck()
{
    QFETCH(bool, atScale);
    QFETCH(quint64, seed);
    const QList<Check> checks = atScale ? scaleChecks(soundPicker, seed) : smallChecks(soundPicker, seed);
    for (const Check &c : checks)
        QVERIFY2(!c.rejects(), qPrintable(c.describe()));
}

void TestDrawSelection::brokenPickersAreRejected_data()
{
    QTest::addColumn<Picker>("picker");
    QTest::addColumn<bool>("atScale");
    QTest::addColumn<QString>("rejectedBy");

    QTest::newRow("off-by-one bound") << Picker(offByOnePicker) << false << u"entry counts"_s;
    QTest::newRow("modulo of a 15-bit word, at scale") << Picker(modulo15BitPicker) << true << u"entry counts"_s;
    QTest::newRow("random start then consecutive") << Picker(consecutivePicker) << false << u"winner sets"_s;
    QTest::newRow("random start then consecutive, at scale") << Picker(consecutivePicker) << true
                                                             << u"successive gaps"_s;
}

void TestDrawSelection::brokenPickersAreRejected()
{
    QFETCH(Picker, picker);
    QFETCH(bool, atScale);
    QFETCH(QString, rejectedBy);
    const QList<Check> checks = atScale ? scaleChecks(picker, 4242) : smallChecks(picker, 4242);
    const auto c = std::find_if(checks.cbegin(), checks.cend(), [&](const Check &c) { return c.name == rejectedBy; });
    QVERIFY(c != checks.cend());
    QVERIFY2(c->rejects(), qPrintable(c->describe()));
}

void TestDrawSelection::excludedEntriesNeverDrawnOthersUniform()
{
    constexpr int n = 10, k = 3, draws = 20000;
    ExcludedEntries excluded(n, false);
    excluded[2] = excluded[6] = excluded[9] = true; // entries 3, 7 and 10, the last one too
    DrawRandom random(std::make_unique<XoshiroSource>(31));
    std::vector<qint64> wins(n);
    for (int d = 0; d < draws; ++d) {
        for (int e : pickDistinct(n, k, random, excluded))
            ++wins[e - 1];
    }
    QCOMPARE(wins[2] + wins[6] + wins[9], 0);
    std::vector<qint64> candidates;
    for (int e = 0; e < n; ++e) {
        if (!excluded[e])
            candidates.push_back(wins[e]);
    }
    const Check c = entryCountCheck(candidates, draws, k);
    QVERIFY2(!c.rejects(), qPrintable(c.describe()));
}

// Entries 1..12; entry 3 on the exclusion list, 5 and 12 won earlier in the event, 8 the
// absent winner of this run and 10 another of its winners, whose line could not be written.
void TestDrawSelection::replacementsNeverWonBeforeOthersUniform()
{
    constexpr int n = 12, draws = 30000;
    RunData run;
    for (int i = 1; i <= n; ++i)
        run.entryTable.append(u"A%1"_s.arg(i), u"名%1"_s.arg(i), u"部"_s);
    run.excludeList.append(run.entryTable.record(3));
    EntryTable eventWinners;
    for (int e : {5, 12, 8})
        eventWinners.append(run.entryTable.record(e));
    run.winnerList = {run.entryTable.record(8), run.entryTable.record(10)};

    DrawRandom random(std::make_unique<XoshiroSource>(77));
    std::vector<qint64> wins(n);
    for (int d = 0; d < draws; ++d) {
        const int e = pickReplacement(run, eventWinners, random);
        QVERIFY(e >= 1 && e <= n);
        ++wins[e - 1];
    }
    std::vector<qint64> candidates;
    for (int e = 1; e <= n; ++e) {
        if (QList<int>{3, 5, 8, 10, 12}.contains(e))
            QCOMPARE(wins[e - 1], 0);
        else
            candidates.push_back(wins[e - 1]);
    }
    const Check c = entryCountCheck(candidates, draws, 1);
    QVERIFY2(!c.rejects(), qPrintable(c.describe()));
}

QTEST_GUILESS_MAIN(TestDrawSelection)
#include "tst_DrawSelection.moc"
