#include "entries/EntryTable.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;

using Rows = QList<QStringList>;

class TestEntryTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    static Rows rows(const EntryTable &t)
    {
        Rows out;
        for (int i = 1; i <= t.entryCount(); ++i)
            out.append({t.column(i, 1).toString(), t.column(i, 2).toString(), t.column(i, 3).toString()});
        return out;
    }

private slots:
    void loadEntryFile_data();
    void loadEntryFile();
    void missingOrUnreadableFileGivesEmptyTable();
    void loadingReplacesEverything();
    void editsKeepOtherEntries();
    void exclusionMatchesAllThreeColumns();
};

void TestEntryTable::loadEntryFile_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<Rows>("expected");

    QTest::newRow("tab") << u"张三\t1001\t销售部\r\n"_s << u"\t"_s << Rows{{u"张三"_s, u"1001"_s, u"销售部"_s}};
    QTest::newRow("two fields ignored") << u"张三\t1001\r\n"_s << u"\t"_s << Rows{};
    QTest::newRow("four fields, blanks trimmed") << u" 张三 \t1001\t销售部\t多余\r\n"_s << u"\t"_s
                                                 << Rows{{u"张三"_s, u"1001"_s, u"销售部"_s}};
    QTest::newRow("blank separator, double blank") << u"张三  1001 销售部\r\n"_s << u" "_s
                                                   << Rows{{u"张三"_s, QString(), u"1001"_s}};
    QTest::newRow("two-character separator") << u"a|b||c||d\r\n"_s << u"||"_s
                                             << Rows{{u"a|b"_s, u"c"_s, u"d"_s}};
    QTest::newRow("LF ends a line too, a lone CR does not") << u"a\tb\tc\nd\te\tf\r\rg\n"_s << u"\t"_s
                                                            << Rows{{u"a"_s, u"b"_s, u"c"_s}, {u"d"_s, u"e"_s, u"f\r\rg"_s}};
    // GBK bytes that are also valid UTF-8 ("Ǯƽ"): only two-byte sequences, so GBK.
    QTest::newRow("GBK that passes as UTF-8") << u"1099\t钱平\t13800001234\r\n"_s << u"\t"_s
                                              << Rows{{u"1099"_s, u"钱平"_s, u"13800001234"_s}};
    QTest::newRow("last line without CR LF") << u"a\tb\tc\r\nd\te\tf"_s << u"\t"_s
                                             << Rows{{u"a"_s, u"b"_s, u"c"_s}, {u"d"_s, u"e"_s, u"f"_s}};
    QTest::newRow("duplicates kept") << u"a\tb\tc\r\na\tb\tc\r\na\tb\tc\r\n"_s << u"\t"_s
                                     << Rows{{u"a"_s, u"b"_s, u"c"_s}, {u"a"_s, u"b"_s, u"c"_s},
                                             {u"a"_s, u"b"_s, u"c"_s}};
    QTest::newRow("empty separator loads nothing") << u"a\tb\tc\r\n"_s << QString() << Rows{};
    QTest::newRow("empty lines and empty fields") << u"\r\n\t\t\r\n\r\n"_s << u"\t"_s
                                                  << Rows{{QString(), QString(), QString()}};
    QTest::newRow("tab inside a field stays") << u"a\t|b|\t c \t\r\n"_s << u"|"_s
                                              << Rows{{u"a\t"_s, u"b"_s, u"\t c \t"_s}};
    QTest::newRow("NUL inside a field") << QString(u"a\0x,b,c"_s) << u","_s
                                        << Rows{{QString(u"a\0x"_s), u"b"_s, u"c"_s}};
}

void TestEntryTable::loadEntryFile()
{
    QFETCH(QString, content);
    QFETCH(QString, separator);
    QFETCH(Rows, expected);
    const QString file = dir.filePath(u"data.txt"_s);
    TestSupport::writeBytes(file, gbk(content));
    EntryTable table;
    ::loadEntryFile(file, separator, table);
    QCOMPARE(rows(table), expected);
}

void TestEntryTable::missingOrUnreadableFileGivesEmptyTable()
{
    EntryTable table;
    table.append(u"x"_s, u"y"_s, u"z"_s);
    ::loadEntryFile(dir.filePath(u"missing.txt"_s), u"\t"_s, table);
    QCOMPARE(table.entryCount(), 0);

    QDir(dir.path()).mkdir(u"folder"_s);
    table.append(u"x"_s, u"y"_s, u"z"_s);
    ::loadEntryFile(dir.filePath(u"folder"_s), u"\t"_s, table);
    QCOMPARE(table.entryCount(), 0);
}

void TestEntryTable::loadingReplacesEverything()
{
    const QString file = dir.filePath(u"replace.txt"_s);
    TestSupport::writeBytes(file, gbk(u"1\t2\t3\r\n"_s));
    EntryTable table;
    table.append(u"x"_s, u"y"_s, u"z"_s);
    ::loadEntryFile(file, u"\t"_s, table);
    QCOMPARE(rows(table), (Rows{{u"1"_s, u"2"_s, u"3"_s}}));
}

void TestEntryTable::editsKeepOtherEntries()
{
    // Many edits force the text pool to be compacted; every entry must survive it.
    EntryTable table;
    Rows model;
    for (int i = 0; i < 500; ++i) {
        const QStringList r{QString::number(i), u"名字"_s + QString::number(i), u"部门"_s};
        table.append(r[0], r[1], r[2]);
        model.append(r);
    }
    for (int round = 0; round < 3000; ++round) {
        const int i = round % table.entryCount() + 1;
        if (round % 3 == 0) {
            table.remove(i);
            model.removeAt(i - 1);
            table.append(u"新"_s, QString::number(round), QString());
            model.append({u"新"_s, QString::number(round), QString()});
        } else {
            const EntryRecord r{QString(40, u'长'), QString::number(round), u"改"_s};
            table.replace(i, r);
            model[i - 1] = {r.column1, r.column2, r.column3};
        }
    }
    QCOMPARE(rows(table), model);
    QCOMPARE(table.record(1), (EntryRecord{model[0][0], model[0][1], model[0][2]}));
}

void TestEntryTable::exclusionMatchesAllThreeColumns()
{
    EntryTable excluded;
    excluded.append(u"A001"_s, u"张三"_s, u"销售部"_s);
    QVERIFY(isExcluded(excluded, u"A001", u"张三", u"销售部"));
    QVERIFY(!isExcluded(excluded, u"A001", u"张三", u"市场部"));
    QVERIFY(!isExcluded(excluded, u"a001", u"张三", u"销售部"));
    QVERIFY(!isExcluded(EntryTable(), u"A001", u"张三", u"销售部"));
}

QTEST_GUILESS_MAIN(TestEntryTable)
#include "tst_EntryTable.moc"
