#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"
#include "draw/RunData.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

using Rows = QList<QStringList>;
using Numbers = QList<int>;

namespace {

void fill(EntryTable &table, const Rows &rows)
{
    table.clear();
    for (const QStringList &r : rows)
        table.append(r.at(0), r.at(1), r.at(2));
}

// Entries A1..An with names and departments, distinct unless a row says otherwise.
Rows entries(int n)
{
    Rows rows;
    for (int i = 1; i <= n; ++i)
        rows.append({u"A%1"_s.arg(i), u"姓名%1"_s.arg(i), u"部门%1"_s.arg(i % 3)});
    return rows;
}

VipRecord vip(const QString &position, const QStringList &entry)
{
    return {position, entry.at(0), entry.at(1), entry.at(2)};
}

// What every draw order must be: real entry numbers of the table, none twice.
bool isSoundOrder(const Numbers &order, int entryCount)
{
    QSet<int> seen;
    for (int e : order) {
        if (e < 1 || e > entryCount || seen.contains(e))
            return false;
        seen.insert(e);
    }
    return true;
}

Numbers sorted(Numbers l)
{
    std::sort(l.begin(), l.end());
    return l;
}

} // namespace

class TestDrawPreparation : public QObject
{
    Q_OBJECT

private slots:
    void participants_data();
    void participants();
    void vipPlacement_data();
    void vipPlacement();
    void prepareDraw_data();
    void prepareDraw();
};

void TestDrawPreparation::participants_data()
{
    QTest::addColumn<Rows>("table");
    QTest::addColumn<Rows>("exclusions");
    QTest::addColumn<Numbers>("takingPart");

    const Rows six = entries(6);
    QTest::newRow("no exclusion list") << six << Rows{} << Numbers{1, 2, 3, 4, 5, 6};
    QTest::newRow("one entry excluded") << six << Rows{six[3]} << Numbers{1, 2, 3, 5, 6};
    QTest::newRow("the last entry excluded") << six << Rows{six[5]} << Numbers{1, 2, 3, 4, 5};
    QTest::newRow("identical entries are two candidates") << Rows{six[0], six[0]} << Rows{} << Numbers{1, 2};
    QTest::newRow("identical entries excluded together")
        << Rows{six[0], six[1], six[0], six[2]} << Rows{six[0]} << Numbers{2, 4};
    QTest::newRow("two equal columns are not enough")
        << six << Rows{{u"A2"_s, u"姓名2"_s, u"部门0"_s}} << Numbers{1, 2, 3, 4, 5, 6};
    QTest::newRow("case matters") << Rows{{u"a1"_s, u"x"_s, u"y"_s}} << Rows{{u"A1"_s, u"x"_s, u"y"_s}}
                                  << Numbers{1};
    QTest::newRow("same first column, other records") << six
        << Rows{{u"A2"_s, u"x"_s, u"y"_s}, six[1], {u"A2"_s, u"姓名2"_s, u"z"_s}} << Numbers{1, 3, 4, 5, 6};
    QTest::newRow("empty columns match empty columns") << Rows{{u""_s, u""_s, u""_s}, six[0]}
                                                       << Rows{{u""_s, u""_s, u""_s}} << Numbers{2};
    QTest::newRow("everyone excluded") << Rows{six[0], six[1]} << Rows{six[1], six[0]} << Numbers{};
}

void TestDrawPreparation::participants()
{
    QFETCH(Rows, table);
    QFETCH(Rows, exclusions);
    QFETCH(Numbers, takingPart);

    RunData run;
    fill(run.entryTable, table);
    fill(run.excludeList, exclusions);
    QCOMPARE(participantCount(run), takingPart.size());

    // Drawing all of them gives exactly these entries, whatever the order.
    DrawRandom random(std::make_unique<XoshiroSource>(1));
    chooseDrawOrder(run, static_cast<int>(takingPart.size()), random);
    QCOMPARE(sorted(run.drawOrder), takingPart);
}

void TestDrawPreparation::vipPlacement_data()
{
    QTest::addColumn<Rows>("table");
    QTest::addColumn<Rows>("exclusions");
    QTest::addColumn<Numbers>("drawn");
    QTest::addColumn<QList<VipRecord>>("vips");
    QTest::addColumn<Numbers>("expected");

    const Rows six = entries(6);
    const Numbers drawn{1, 2, 3, 4, 5};
    using Vips = QList<VipRecord>;
    QTest::newRow("no VIP list") << six << Rows{} << drawn << Vips{} << drawn;
    QTest::newRow("drawn entry trades places") << six << Rows{} << drawn << Vips{vip(u"2"_s, six[4])}
                                               << Numbers{1, 5, 3, 4, 2};
    QTest::newRow("undrawn entry replaces the one there")
        << six << Rows{} << drawn << Vips{vip(u"2"_s, six[5])} << Numbers{1, 6, 3, 4, 5};
    QTest::newRow("already at its position") << six << Rows{} << drawn << Vips{vip(u"3"_s, six[2])} << drawn;
    QTest::newRow("two records for one position: the later wins")
        << six << Rows{} << drawn << Vips{vip(u"2"_s, six[5]), vip(u"2"_s, six[4])} << Numbers{1, 5, 3, 4, 6};
    QTest::newRow("a later record moves an earlier VIP")
        << six << Rows{} << drawn << Vips{vip(u"1"_s, six[5]), vip(u"3"_s, six[5])} << Numbers{3, 2, 6, 4, 5};
    QTest::newRow("position beyond the draw count") << six << Rows{} << drawn << Vips{vip(u"6"_s, six[5])} << drawn;
    QTest::newRow("huge position") << six << Rows{} << drawn << Vips{vip(u"99999999999999999999"_s, six[5])}
                                   << drawn;
    QTest::newRow("position 0") << six << Rows{} << drawn << Vips{vip(u"0"_s, six[5])} << drawn;
    QTest::newRow("non-numeric position") << six << Rows{} << drawn << Vips{vip(u"第二"_s, six[5])} << drawn;
    QTest::newRow("fractional position") << six << Rows{} << drawn << Vips{vip(u"2.5"_s, six[5])} << drawn;
    QTest::newRow("number then letters") << six << Rows{} << drawn << Vips{vip(u"2a"_s, six[5])} << drawn;
    QTest::newRow("leading zeros") << six << Rows{} << drawn << Vips{vip(u"002"_s, six[5])}
                                   << Numbers{1, 6, 3, 4, 5};
    QTest::newRow("names no entry") << six << Rows{} << drawn << Vips{vip(u"2"_s, {u"A9"_s, u"x"_s, u"y"_s})}
                                    << drawn;
    QTest::newRow("names an excluded entry") << six << Rows{six[5]} << drawn << Vips{vip(u"2"_s, six[5])}
                                             << drawn;
    QTest::newRow("excluded and drawn entry is not moved either")
        << six << Rows{six[4]} << drawn << Vips{vip(u"1"_s, six[4])} << drawn;
    QTest::newRow("identical entries: the first one is placed")
        << Rows{six[0], six[1], six[2], six[0]} << Rows{} << Numbers{4, 2} << Vips{vip(u"2"_s, six[0])}
        << Numbers{4, 1};
    QTest::newRow("empty draw order") << six << Rows{} << Numbers{} << Vips{vip(u"1"_s, six[0])} << Numbers{};
}

void TestDrawPreparation::vipPlacement()
{
    QFETCH(Rows, table);
    QFETCH(Rows, exclusions);
    QFETCH(Numbers, drawn);
    QFETCH(QList<VipRecord>, vips);
    QFETCH(Numbers, expected);

    RunData run;
    fill(run.entryTable, table);
    fill(run.excludeList, exclusions);
    for (const VipRecord &v : vips)
        run.vipList.append(v);
    run.drawOrder = drawn;
    placeVipEntries(run);
    QCOMPARE(run.drawOrder, expected);
    QVERIFY(isSoundOrder(run.drawOrder, run.entryTable.entryCount()));
}

void TestDrawPreparation::prepareDraw_data()
{
    QTest::addColumn<int>("entryCount");
    QTest::addColumn<Rows>("exclusions");
    QTest::addColumn<QList<VipRecord>>("vips");
    QTest::addColumn<int>("drawCount");
    QTest::addColumn<bool>("prepared");

    const Rows six = entries(6);
    QTest::newRow("count equals the entries") << 6 << Rows{} << QList<VipRecord>{} << 6 << true;
    QTest::newRow("one entry, one winner") << 1 << Rows{} << QList<VipRecord>{} << 1 << true;
    QTest::newRow("one more than the entries") << 6 << Rows{} << QList<VipRecord>{} << 7 << false;
    QTest::newRow("more than take part") << 6 << Rows{six[0], six[1]} << QList<VipRecord>{} << 5 << false;
    QTest::newRow("all that take part") << 6 << Rows{six[0], six[1]} << QList<VipRecord>{} << 4 << true;
    QTest::newRow("VIP placed by the preparation") << 6 << Rows{} << QList<VipRecord>{vip(u"1"_s, six[5])} << 2
                                                   << true;
    QTest::newRow("excluded VIP stays out") << 6 << Rows{six[5]} << QList<VipRecord>{vip(u"1"_s, six[5])} << 5
                                            << true;
    QTest::newRow("no entries") << 0 << Rows{} << QList<VipRecord>{} << 1 << false;
    QTest::newRow("draw count 0") << 6 << Rows{} << QList<VipRecord>{} << 0 << false;
}

void TestDrawPreparation::prepareDraw()
{
    QFETCH(int, entryCount);
    QFETCH(Rows, exclusions);
    QFETCH(QList<VipRecord>, vips);
    QFETCH(int, drawCount);
    QFETCH(bool, prepared);

    RunData run;
    fill(run.entryTable, entries(entryCount));
    fill(run.excludeList, exclusions);
    for (const VipRecord &v : vips)
        run.vipList.append(v);
    // What an earlier preparation left; a refused one must not touch it.
    run.drawOrder = {9, 8};
    run.pressCount = 2;

    DrawRandom random(std::make_unique<XoshiroSource>(5));
    QCOMPARE(::prepareDraw(run, drawCount, random), prepared);
    if (!prepared) {
        QCOMPARE(run.drawOrder, (Numbers{9, 8}));
        QCOMPARE(run.pressCount, 2);
        return;
    }
    QCOMPARE(run.pressCount, 0);
    QCOMPARE(run.drawOrder.size(), drawCount);
    QVERIFY(isSoundOrder(run.drawOrder, entryCount));
    for (int e : run.drawOrder)
        QVERIFY(!isExcluded(run.excludeList, run.entryTable.column(e, 1), run.entryTable.column(e, 2),
                            run.entryTable.column(e, 3)));
    for (const VipRecord &v : vips) {
        const bool vipExcluded = isExcluded(run.excludeList, v.column1, v.column2, v.column3);
        QCOMPARE(run.drawOrder.at(v.position.toInt() - 1) == 6, !vipExcluded);
    }
}

QTEST_GUILESS_MAIN(TestDrawPreparation)
#include "tst_DrawPreparation.moc"
