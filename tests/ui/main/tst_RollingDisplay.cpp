#include "draw/DrawRandom.h"
#include "entries/EntryTable.h"
#include "ui/common/CaptionLabel.h"
#include "ui/common/WidgetColours.h"
#include "ui/reveal/ColourFlash.h"
#include "ui/reveal/DrawWaits.h"
#include "ui/reveal/RollingDisplay.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using DrawWaits::ScopedSleepFunction;

namespace {

EntryTable table(int count)
{
    EntryTable t;
    for (int i = 1; i <= count; ++i)
        t.append(u"A%1"_s.arg(i), u"名%1"_s.arg(i), u"部%1"_s.arg(i));
    return t;
}

EntryTable excluding(const QList<int> &numbers)
{
    EntryTable t;
    for (int i : numbers)
        t.append(u"A%1"_s.arg(i), u"名%1"_s.arg(i), u"部%1"_s.arg(i));
    return t;
}

DrawRandom seeded(quint64 seed)
{
    return DrawRandom(std::make_unique<XoshiroSource>(seed));
}

// Pearson's statistic of the counts against equal expectations.
double chiSquare(const QMap<int, int> &counts, const QList<int> &cells, int total)
{
    const double expected = double(total) / cells.size();
    double sum = 0;
    for (int c : cells) {
        const double d = counts.value(c) - expected;
        sum += d * d / expected;
    }
    return sum;
}

// Upper 0.001 points of the chi-square distribution, by degrees of freedom.
double critical(int degrees)
{
    static const QMap<int, double> points = {{3, 16.266}, {4, 18.467}};
    return points.value(degrees);
}

} // namespace

class TestRollingDisplay : public QObject
{
    Q_OBJECT

private slots:
    void sequenceLengthAndEdges_data();
    void sequenceLengthAndEdges();
    void sequenceIsUniformOverEntriesTakingPart_data();
    void sequenceIsUniformOverEntriesTakingPart();
    void sequenceWhenEverythingIsExcluded();

    void rollListText_data();
    void rollListText();

    void pausesCountTheirWaits_data();
    void pausesCountTheirWaits();
    void eventsProcessedAfterEachWait();

    void backFlash_data();
    void backFlash();
    void foreFlash_data();
    void foreFlash();
};

void TestRollingDisplay::sequenceLengthAndEdges_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedLength");
    QTest::newRow("length 0") << 5 << 0 << 0;
    QTest::newRow("negative length") << 5 << -3 << 0;
    QTest::newRow("empty table") << 0 << 10 << 0;
    QTest::newRow("one entry") << 1 << 40 << 40;
    QTest::newRow("two entries") << 2 << 40 << 40;
}

void TestRollingDisplay::sequenceLengthAndEdges()
{
    QFETCH(int, entries);
    QFETCH(int, length);
    QFETCH(int, expectedLength);
    DrawRandom random = seeded(1);
    const QList<int> seq = RollingDisplay::makeRollSequence(random, length, entries, {});
    QCOMPARE(seq.size(), expectedLength);
    for (int e : seq)
        QVERIFY(e >= 1 && e <= entries);
    if (entries == 1)
        QCOMPARE(seq, QList<int>(length, 1));
    if (entries == 2) // the last entry rolls as well
        QVERIFY(seq.contains(1) && seq.contains(2));
}

void TestRollingDisplay::sequenceIsUniformOverEntriesTakingPart_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<int>>("excluded");
    QTest::newRow("no exclusion, 5 entries") << 5 << QList<int>();
    QTest::newRow("2 and 4 of 6 excluded") << 6 << QList<int>{2, 4};
    QTest::newRow("last entry excluded") << 5 << QList<int>{5};
    // Redrawing rarely succeeds here, so the entries taking part are listed.
    QTest::newRow("all but 5 of 200 excluded")
        << 200 << [] {
               QList<int> out;
               for (int i = 1; i <= 200; ++i)
                   if (i % 40 != 0)
                       out.append(i);
               return out;
           }();
}

void TestRollingDisplay::sequenceIsUniformOverEntriesTakingPart()
{
    QFETCH(int, entries);
    QFETCH(QList<int>, excluded);
    QList<int> cells;
    for (int i = 1; i <= entries; ++i)
        if (!excluded.contains(i))
            cells.append(i);

    DrawRandom random = seeded(20240315);
    const int total = 20000;
    const QList<int> seq =
        RollingDisplay::makeRollSequence(random, total, entries,
                                         excludedEntries(table(entries), excluding(excluded)));
    QCOMPARE(seq.size(), total);
    QMap<int, int> counts;
    for (int e : seq)
        ++counts[e];
    QCOMPARE(counts.keys(), cells); // nothing excluded, every entry taking part (the last too)
    const double statistic = chiSquare(counts, cells, total);
    QVERIFY2(statistic < critical(int(cells.size()) - 1), qPrintable(QString::number(statistic)));
}

void TestRollingDisplay::sequenceWhenEverythingIsExcluded()
{
    DrawRandom random = seeded(3);
    const QList<int> seq =
        RollingDisplay::makeRollSequence(random, 300, 3, excludedEntries(table(3), excluding({1, 2, 3})));
    QCOMPARE(seq.size(), 300);
    QVERIFY(seq.contains(1) && seq.contains(2) && seq.contains(3));

    // Entries the marks do not reach, added after they were worked out, take part.
    const QList<int> grown = RollingDisplay::makeRollSequence(random, 300, 5, ExcludedEntries(3, true));
    QCOMPARE(QSet<int>(grown.begin(), grown.end()), (QSet<int>{4, 5}));
}

void TestRollingDisplay::rollListText_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("firstEntry"); // 0: nothing to show
    QTest::newRow("from the start") << 30 << 0 << 1;
    QTest::newRow("wraps past the end") << 30 << 25 << 26;
    QTest::newRow("start at the last entry") << 30 << 30 << 1;
    QTest::newRow("start beyond the table") << 3 << 8 << 1;
    QTest::newRow("empty table") << 0 << 0 << 0;
    QTest::newRow("negative start") << 5 << -1 << 0;
}

void TestRollingDisplay::rollListText()
{
    QFETCH(int, entries);
    QFETCH(int, start);
    QFETCH(int, firstEntry);
    const std::optional<QString> text = RollingDisplay::rollListText(table(entries), start);
    QCOMPARE(text.has_value(), firstEntry != 0);
    if (!text)
        return;
    QStringList expected;
    for (int k = 0; k < 20; ++k) {
        const int e = (firstEntry - 1 + k) % entries + 1;
        expected.append(u"A%1 名%1 部%1\r\n"_s.arg(e));
    }
    QCOMPARE(*text, expected.join(QString()));
}

void TestRollingDisplay::pausesCountTheirWaits_data()
{
    QTest::addColumn<bool>("tenths");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QList<int>>("sleeps");
    QTest::newRow("hundredths 3") << false << 3 << false << QList<int>(3, 10);
    QTest::newRow("tenths 2") << true << 2 << false << QList<int>(2, 100);
    QTest::newRow("hundredths 0") << false << 0 << false << QList<int>();
    QTest::newRow("tenths -5") << true << -5 << false << QList<int>();
    QTest::newRow("tenths 99, cancelled") << true << 99 << true << QList<int>();
    QTest::newRow("hundredths 7, cancelled") << false << 7 << true << QList<int>();
}

void TestRollingDisplay::pausesCountTheirWaits()
{
    QFETCH(bool, tenths);
    QFETCH(int, n);
    QFETCH(bool, cancelled);
    QFETCH(QList<int>, sleeps);
    QList<int> slept;
    ScopedSleepFunction fake([&](int ms) { slept.append(ms); });
    DrawWaits::setWaitsCancelled(cancelled);
    if (tenths)
        DrawWaits::pauseTenths(n);
    else
        DrawWaits::pauseHundredths(n);
    DrawWaits::setWaitsCancelled(false);
    QCOMPARE(slept, sleeps);
}

void TestRollingDisplay::eventsProcessedAfterEachWait()
{
    bool delivered = false;
    QList<bool> seenAtSleep;
    {
        ScopedSleepFunction fake([&](int) { seenAtSleep.append(delivered); });
        QTimer::singleShot(0, this, [&] { delivered = true; });
        DrawWaits::pauseHundredths(2);
    }
    QCOMPARE(seenAtSleep, (QList<bool>{false, true}));

    // The real sleep is back once the fake goes out of scope.
    QList<int> outer;
    ScopedSleepFunction first([&](int ms) { outer.append(ms); });
    {
        ScopedSleepFunction second([](int) {});
        DrawWaits::pauseTenths(1);
    }
    DrawWaits::pauseTenths(1);
    QCOMPARE(outer, QList<int>{100});
}

void TestRollingDisplay::backFlash_data()
{
    QTest::addColumn<int>("cycles");
    QTest::addColumn<int>("runs");
    QTest::newRow("2 cycles") << 2 << 2;
    QTest::newRow("1 cycle") << 1 << 1;
    QTest::newRow("0 runs one") << 0 << 1;
    QTest::newRow("-4 runs one") << -4 << 1;
}

void TestRollingDisplay::backFlash()
{
    QFETCH(int, cycles);
    QFETCH(int, runs);
    CaptionLabel panel, other;
    panel.setAutoFillBackground(true);
    WidgetColours::setBackColor(&panel, QColor(0x80, 0x80, 0xFF));
    // A colour set elsewhere after the layout is what comes back.
    const QColor own(0x12, 0x34, 0x56), otherOwn(Qt::yellow);
    WidgetColours::setBackColor(&panel, own);
    WidgetColours::setBackColor(&other, otherOwn);
    const QColor text = WidgetColours::foreColor(&panel);

    QList<QColor> seen, seenOther;
    QList<int> slept;
    {
        ScopedSleepFunction fake([&](int ms) {
            slept.append(ms);
            seen.append(WidgetColours::backColor(&panel));
            seenOther.append(WidgetColours::backColor(&other));
        });
        ColourFlash::flashBackColor(cycles, {&panel, &other});
    }
    QList<QColor> expected, expectedOther;
    for (int c = 0; c < runs; ++c) {
        for (int step = 0; step < 8; ++step) {
            const bool own = step == 7;
            for (int wait = 0; wait < 10; ++wait) {
                expected.append(own ? QColor(0x12, 0x34, 0x56) : ColourFlash::colourTable()[step]);
                expectedOther.append(own ? otherOwn : ColourFlash::colourTable()[step]);
            }
        }
    }
    QCOMPARE(slept, QList<int>(runs * 80, 10)); // 800 ms a cycle
    QCOMPARE(seen, expected);
    QCOMPARE(seenOther, expectedOther);
    QCOMPARE(WidgetColours::backColor(&panel), own);
    QCOMPARE(WidgetColours::backColor(&other), otherOwn);
    QCOMPARE(WidgetColours::foreColor(&panel), text);
    QCOMPARE(ColourFlash::colourTable()[1], QColor(0, 0, 255));
    QCOMPARE(ColourFlash::colourTable()[3], QColor(160, 32, 240));
}

void TestRollingDisplay::foreFlash_data()
{
    QTest::addColumn<int>("cycles");
    QTest::addColumn<int>("runs");
    QTest::newRow("8 cycles") << 8 << 8;
    QTest::newRow("0 runs one") << 0 << 1;
}

void TestRollingDisplay::foreFlash()
{
    QFETCH(int, cycles);
    QFETCH(int, runs);
    CaptionLabel row;
    const QColor own(0x00, 0xC0, 0x00), changed(0xAB, 0xCD, 0xEF);
    WidgetColours::setForeColor(&row, own);
    WidgetColours::setForeColor(&row, changed);
    const QColor back = WidgetColours::backColor(&row);
    QList<QColor> seen;
    int sleeps = 0;
    {
        ScopedSleepFunction fake([&](int ms) {
            QCOMPARE(ms, 10);
            ++sleeps;
            seen.append(WidgetColours::foreColor(&row));
        });
        ColourFlash::flashForeColor(cycles, {&row});
    }
    QList<QColor> expected;
    for (int c = 0; c < runs; ++c)
        for (const QColor &colour : ColourFlash::colourTable())
            expected << colour << colour << colour << colour << colour;
    QCOMPARE(sleeps, runs * 35); // 350 ms a cycle
    QCOMPARE(seen, expected);
    QCOMPARE(WidgetColours::foreColor(&row), changed);
    QCOMPARE(WidgetColours::backColor(&row), back);
}

QTEST_MAIN(TestRollingDisplay)
#include "tst_RollingDisplay.moc"
