#include "entries/VipList.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;

using Records = QList<VipRecord>;

class TestVipList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    static Records records(const VipList &list)
    {
        Records out;
        for (int i = 1; i <= list.vipCount(); ++i)
            out.append(list.record(i));
        return out;
    }

private slots:
    void load_data();
    void load();
    void saveIsByteExact();
    void roundTripAndEmptyList();
    void appendAndRemove();
};

void TestVipList::load_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<Records>("expected");

    const VipRecord abc{u"5"_s, u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("plain") << u"5#*#a\tb\tc\r\n"_s << u"\t"_s << Records{abc};
    QTest::newRow("no CR LF at the end") << u"5#*#a\tb\tc"_s << u"\t"_s << Records{abc};
    QTest::newRow("three pieces skipped") << u"5#*#a\tb\r\n"_s << u"\t"_s << Records{};
    QTest::newRow("fifth piece dropped") << u"5#*#a\tb\tc\td\r\n"_s << u"\t"_s << Records{abc};
    QTest::newRow("blanks trimmed") << u"  7 #*#  a  \tb\tc\r\n"_s << u"\t"_s
                                    << Records{{u"7"_s, u"a"_s, u"b"_s, u"c"_s}};
    QTest::newRow("separator instead of mark") << u"5\ta\tb\tc\r\n"_s << u"\t"_s << Records{abc};
    QTest::newRow("LF ends a line too") << u"5#*#a\tb\tc\n5#*#a\tb\tc"_s << u"\t"_s << Records{abc, abc};
    QTest::newRow("GBK that passes as UTF-8") << u"1#*#1099\t钱平\t138\r\n"_s << u"\t"_s
                                              << Records{{u"1"_s, u"1099"_s, u"钱平"_s, u"138"_s}};
    QTest::newRow("duplicates kept") << u"5#*#a\tb\tc\r\n5#*#a\tb\tc\r\n"_s << u"\t"_s << Records{abc, abc};
    QTest::newRow("empty separator") << u"5#*#a\tb\tc\r\n"_s << QString() << Records{};
    QTest::newRow("empty columns") << u"2#*#\t\t\r\n"_s << u"\t"_s
                                   << Records{{u"2"_s, QString(), QString(), QString()}};
    QTest::newRow("position not a number kept") << u"x#*#a\tb\tc\r\n"_s << u"\t"_s
                                                << Records{{u"x"_s, u"a"_s, u"b"_s, u"c"_s}};
}

void TestVipList::load()
{
    QFETCH(QString, content);
    QFETCH(QString, separator);
    QFETCH(Records, expected);
    const QString file = dir.filePath(u"GoodLuck.txt"_s);
    TestSupport::writeBytes(file, gbk(content));
    VipList list;
    list.append({u"old"_s, {}, {}, {}});
    loadVipFile(file, separator, list);
    QCOMPARE(records(list), expected);
}

void TestVipList::saveIsByteExact()
{
    VipList list;
    list.append({u"3"_s, u"A001"_s, u"张三"_s, u"销售部"_s});
    list.append({u"12"_s, u" a "_s, QString(), u"c"_s}); // written exactly as stored
    const QString file = dir.filePath(u"save.txt"_s);
    QCOMPARE(saveVipFile(list, u"\t"_s, file), 0);
    QCOMPARE(TestSupport::readBytes(file), gbk(u"3#*#A001\t张三\t销售部\r\n12#*# a \t\tc\r\n"_s));

    QDir(dir.path()).mkdir(u"blocked"_s);
    QCOMPARE(saveVipFile(list, u"\t"_s, dir.filePath(u"blocked"_s)), -1);
}

void TestVipList::roundTripAndEmptyList()
{
    const QString file = dir.filePath(u"trip.txt"_s);
    VipList list;
    list.append({u"9999"_s, u"A"_s, u"王五"_s, u"研发部"_s});
    list.append({u"1"_s, QString(), QString(), QString()});
    QCOMPARE(saveVipFile(list, u" "_s, file), 0);
    VipList back;
    loadVipFile(file, u" "_s, back);
    QCOMPARE(records(back), records(list));

    QCOMPARE(saveVipFile(VipList(), u"\t"_s, file), 0);
    QCOMPARE(QFileInfo(file).size(), 0);
    loadVipFile(file, u"\t"_s, back);
    QCOMPARE(back.vipCount(), 0);
    loadVipFile(dir.filePath(u"missing.txt"_s), u"\t"_s, back);
    QCOMPARE(back.vipCount(), 0);
}

void TestVipList::appendAndRemove()
{
    VipList list;
    for (int i = 1; i <= 4; ++i)
        list.append({QString::number(i), {}, {}, {}});
    list.remove(2);
    QCOMPARE(list.vipCount(), 3);
    QCOMPARE(list.record(2).position, u"3"_s);
    list.remove(3);
    QCOMPARE(list.record(list.vipCount()).position, u"3"_s);
}

QTEST_GUILESS_MAIN(TestVipList)
#include "tst_VipList.moc"
