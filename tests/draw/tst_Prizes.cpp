#include "draw/EventResults.h"
#include "draw/PrizeList.h"
#include "export/ResultExport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;
using TestSupport::writeBytes;

class TestPrizes : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    // Two runs of 三等奖 (the second a restart later), one of 二等奖 with an absence, one without a prize.
    void writeEvent();

private slots:
    void init();
    void prizeList_data();
    void prizeList();
    void remainingCount_data();
    void remainingCount();
    void exportedRows();
    void exportStatus_data();
    void exportStatus();
};

void TestPrizes::init()
{
    QDir(dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(dir.path()));
}

void TestPrizes::writeEvent()
{
    writeBytes(path(u"出号结果20240315_093007_三等奖.txt"_s), gbk(u"A1\t张三\t销售部\r\nA2\t李四\t技术部\r\n"_s));
    writeBytes(path(u"出号结果20240315_100000_二等奖.txt"_s), gbk(u"B1\t王五\t人事部\r\nshort\r\nB2\t赵六\t\"财务\",部\r\n"_s));
    writeBytes(path(u"出号结果20240315_101500_三等奖.txt"_s), gbk(u"A3\t钱七\t销售部\r\n"_s));
    writeBytes(path(u"出号结果20240315_110000.txt"_s), gbk(u"C1\t孙八\t技术部\r\n"_s));
    // B1 was absent, B2 (line 3: the short line counts as a line) replaced them.
    writeBytes(path(u"缺席记录.txt"_s), gbk(u"出号结果20240315_100000_二等奖.txt\t1\t出号结果20240315_100000_二等奖.txt\t3\t王五\r\n"
                                           u"broken line\r\n"_s));
    writeBytes(path(u"ZOP摇号设置.ini"_s), gbk(u"数据字段分隔符={tab}\r\n"_s));
    writeBytes(path(u"奖项设置.txt"_s), gbk(u"三等奖\t20\r\n二等奖\t2\r\n"_s));
}

void TestPrizes::prizeList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Prize>>("prizes");
    QTest::addColumn<QList<int>>("badLines");
    QTest::addColumn<QStringList>("said"); // parts of the message
    const QList<Prize> sample{{u"三等奖"_s, 20, {}}, {u"二等奖"_s, 10, {}}, {u"一等奖"_s, 3, {}}, {u"特等奖"_s, 1, {}}};
    QTest::newRow("shipped sample") << TestSupport::readBytes(TestSupport::shippedDataDir() + u"/奖项设置.txt"_s)
                                    << sample << QList<int>{} << QStringList();
    QTest::newRow("picture, blanks, LF, blank line")
        << gbk(u" 一等奖 \t 3 \t 图片/一等奖.jpg\n\r\n特等奖\t1"_s)
        << QList<Prize>{{u"一等奖"_s, 3, u"图片/一等奖.jpg"_s}, {u"特等奖"_s, 1, {}}} << QList<int>{} << QStringList();
    QTest::newRow("bad lines skipped, each with its reason")
        << gbk(u"三等奖\t0\r\n二等奖\r\n一等奖\t3\t\tx\r\n\t5\r\n特等奖\t1\r\n特等奖\t2\r\nA/B\t1\r\nA_B\t1\r\n二\tzwei\r\n大奖\t100000\r\n"_s)
        << QList<Prize>{{u"特等奖"_s, 1, {}}, {u"A/B"_s, 1, {}}} << QList<int>{1, 2, 3, 4, 6, 8, 9, 10}
        << QStringList{u"有 8 行无法读取"_s, u"第 1 行：人数须为 1 至 99999 的整数"_s, u"第 2 行：缺少人数"_s,
                       u"第 3 行：多于三项"_s, u"第 4 行：缺少奖项名称"_s, u"第 6 行：与前面的奖项“特等奖”重名"_s,
                       u"第 8 行：与前面的奖项“A/B”的结果文件同名"_s, u"第 10 行：人数"_s};
    // 75 ideographs make a result file name longer than 255 bytes; a copy's mark would make its
    // result files look like copies.
    QTest::newRow("names that cannot make a result file name")
        << gbk(QString(75, u'奖') + u"\t1\r\n"_s + QString(74, u'奖') + u"\t1\r\n三等奖 - 副本\t1\r\n一等奖(2)\t1\r\n"_s)
        << QList<Prize>{{QString(74, u'奖'), 1, {}}} << QList<int>{1, 3, 4}
        << QStringList{u"第 1 行：奖项名称太长"_s, u"第 3 行：奖项名称的结尾像复制文件"_s, u"第 4 行：奖项名称的结尾像"_s};
    QTest::newRow("missing file") << QByteArray() << QList<Prize>{} << QList<int>{} << QStringList();
}

void TestPrizes::prizeList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Prize>, prizes);
    QFETCH(QList<int>, badLines);
    QFETCH(QStringList, said);
    if (!bytes.isEmpty())
        writeBytes(path(u"奖项设置.txt"_s), bytes);
    const PrizeListFile file = PrizeLists::read(path(PrizeLists::fileName()));
    QCOMPARE(file.status, bytes.isEmpty() ? -2 : 0);
    QCOMPARE(file.prizes, prizes);
    QCOMPARE(file.badLines, badLines);
    const QString message = PrizeLists::badLinesMessage(file);
    for (const QString &part : said)
        QVERIFY2(message.contains(part), qPrintable(message));
    QCOMPARE(message.isEmpty(), said.isEmpty());
    // What the editor writes reads back as the same list.
    QCOMPARE(PrizeLists::parse(PrizeLists::text(prizes)).prizes, prizes);
}

void TestPrizes::remainingCount_data()
{
    QTest::addColumn<QString>("prize");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("remaining");
    QTest::newRow("two runs") << u"三等奖"_s << 20 << 17;
    QTest::newRow("absent winner not counted") << u"二等奖"_s << 2 << 1;
    QTest::newRow("all drawn") << u"三等奖"_s << 3 << 0;
    QTest::newRow("never below 0") << u"三等奖"_s << 2 << 0;
    QTest::newRow("not drawn yet") << u"一等奖"_s << 3 << 3;
}

void TestPrizes::remainingCount()
{
    QFETCH(QString, prize);
    QFETCH(int, count);
    QFETCH(int, remaining);
    writeEvent();
    const Prize p{prize, count, {}};
    QCOMPARE(remainingWinners(p, readEventResults(dir.path() + u'/', u"\t"_s, {p})), remaining);
    // A line still waiting for its file counts as well.
    const QList<ResultLine> unwritten{{path(u"出号结果20240315_120000_"_s + prize + u".txt"_s), u"X\tY\tZ"_s}};
    QCOMPARE(remainingWinners(p, readEventResults(dir.path() + u'/', u"\t"_s, {p}, unwritten)),
             std::max(0, remaining - 1));
}

void TestPrizes::exportedRows()
{
    writeEvent();
    const QByteArray rows = "奖项,序号,列1,列2,列3,时间,备注\r\n"
                            "三等奖,1,A1,张三,销售部,2024-03-15 09:30:07,\r\n"
                            "三等奖,2,A2,李四,技术部,2024-03-15 09:30:07,\r\n"
                            "二等奖,1,B1,王五,人事部,2024-03-15 10:00:00,缺席\r\n"
                            "二等奖,2,B2,赵六,\"\"\"财务\"\",部\",2024-03-15 10:00:00,补抽\r\n"
                            "三等奖,3,A3,钱七,销售部,2024-03-15 10:15:00,\r\n"
                            ",1,C1,孙八,技术部,2024-03-15 11:00:00,\r\n";
    const ResultExport::Outcome csv = ResultExport::exportEvent(dir.path(), path(u"名单.csv"_s));
    QCOMPARE(csv.status, ResultExport::Status::Written);
    QCOMPARE(TestSupport::readBytes(path(u"名单.csv"_s)), "\xEF\xBB\xBF" + rows);

    // The .xlsx read back by an independent reader, its rows printed like the .csv.
    QCOMPARE(ResultExport::exportEvent(dir.path(), path(u"名单.xlsx"_s)).rows, 6);
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, uR"(
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
out = sys.stdout.buffer
out.write(sheet.title.encode() + b"\n")
for row in sheet.iter_rows(values_only=True):
    cells = ['' if v is None else v.strftime('%Y-%m-%d %H:%M:%S') if hasattr(v, 'strftime') else str(v) for v in row]
    out.write(','.join('"' + c.replace('"', '""') + '"' if ',' in c or '"' in c else c for c in cells).encode() + b"\r\n")
)"_s, path(u"名单.xlsx"_s)});
    QVERIFY(python.waitForFinished(60000));
    QCOMPARE(python.readAllStandardError(), QByteArray());
    QCOMPARE(python.readAllStandardOutput(), "中奖名单\n" + rows);
    QCOMPARE(TestSupport::folderEntries(dir.path()).filter(u"zop-saving"_s), QStringList());
}

void TestPrizes::exportStatus_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    QTest::newRow("written") << QString() << u"a.xlsx"_s << 0;
    QTest::newRow("nothing to export") << u"empty"_s << u"a.xlsx"_s << 1;
    QTest::newRow("no such folder") << u"missing"_s << u"a.csv"_s << 2;
    QTest::newRow("neither .xlsx nor .csv") << QString() << u"a.txt"_s << 2;
    QTest::newRow("cannot write") << QString() << u"missing/a.xlsx"_s << 2;
    QTest::newRow("result file unreadable") << u"unreadable"_s << u"a.csv"_s << 2;
}

void TestPrizes::exportStatus()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(int, status);
    writeEvent();
    QDir(dir.path()).mkpath(u"empty"_s);
    QDir(dir.path()).mkpath(u"unreadable/出号结果20240315_093007.txt"_s);
    const QString from = folder.isEmpty() ? dir.path() : path(folder);
    const ResultExport::Outcome outcome = ResultExport::exportEvent(from, path(file));
    QCOMPARE(int(outcome.status), status);
    QCOMPARE(outcome.message.isEmpty(), status == 0);
    QCOMPARE(QFile::exists(path(file)), status == 0);
}

QTEST_GUILESS_MAIN(TestPrizes)
#include "tst_Prizes.moc"
