#include "draw/RecordVerification.h"
#include "draw/VerifiableDraw.h"
#include "draw/VerifiableRecord.h"
#include "draw/VerifiableSelection.h"
#include "entries/EntryTable.h"
#include "settings/TextCodec.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::readBytes;
using TestSupport::writeBytes;

class tst_VerifiableDraw : public QObject
{
    Q_OBJECT

private slots:
    void rfc3797Example();
    void verify_data();
    void verify();
    void unwritableRecord();
};

namespace {

const QStringList exampleSources = {u"9319"_s, u"2 5 12 8 10"_s, u"9 18 26 34 41 45"_s};

// Entries 001 姓名1 部门 … 025 姓名25 部门, all in the pool.
QList<int> fillTable(EntryTable &table)
{
    QList<int> pool;
    for (int i = 1; i <= 25; ++i) {
        table.append(EntryRecord{QString::number(i).rightJustified(3, u'0'), u"姓名%1"_s.arg(i), u"部门"_s});
        pool.append(i);
    }
    return pool;
}

} // namespace

// The worked example of RFC 3797, selection for selection.
void tst_VerifiableDraw::rfc3797Example()
{
    const auto key = Rfc3797::keyFromSources(exampleSources);
    QVERIFY(key);
    QCOMPARE(*key, "9319./2.5.8.10.12./9.18.26.34.41.45./");
    QCOMPARE(*Rfc3797::keyFromSources({u" 007  0 "_s, u""_s}), "0.7./");
    QVERIFY(!Rfc3797::keyFromSources({u"1 -2"_s}));

    VerifiableSelection selection(25, *key);
    QList<int> chosen;
    while (chosen.size() < 16)
        chosen.append(selection.selectNext());
    QCOMPARE(chosen, (QList<int>{17, 7, 2, 16, 25, 23, 8, 24, 19, 13, 22, 5, 18, 9, 1, 4}));
}

void tst_VerifiableDraw::verify_data()
{
    QTest::addColumn<bool>("inPool");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("named");

    QTest::newRow("as written") << false << QString() << QString() << 0 << QString();
    QTest::newRow("as UTF-8") << false << u"utf8"_s << QString() << 0 << QString();
    QTest::newRow("pool line changed") << true << u"姓名3\t"_s << u"姓名30\t"_s << 1 << u"SHA256"_s;
    QTest::newRow("winner changed") << false << u"中奖2=7\r"_s << u"中奖2=8\r"_s << 1 << u"中奖2"_s;
    QTest::newRow("key changed") << false << u"10.12./"_s << u"10.13./"_s << 1 << u"密钥"_s;
    QTest::newRow("random number changed") << false << u"随机数1=9319"_s << u"随机数1=9318"_s << 1 << u"密钥"_s;
    QTest::newRow("redraw without absence") << false << u"缺席=2\r\n"_s << QString() << 1 << u"中奖4"_s;
    QTest::newRow("other algorithm") << false << u"RFC3797"_s << u"MD5"_s << 2 << u"第 1 行"_s;
    QTest::newRow("count not a number") << false << u"人数=25"_s << u"人数=2x5"_s << 2 << u"第 5 行"_s;
    QTest::newRow("winner before key") << false << u"密钥="_s << u"中奖9="_s << 2 << u"第 13 行"_s;
    QTest::newRow("no pool file") << false << u"名单文件=摇号名单"_s << u"名单文件=无"_s << 2 << u"名单文件"_s;
    // Records begun before the prize and the counts were written still check out.
    QTest::newRow("older record") << false << u"奖项=一等奖\r\n不参与=1\r\n已中奖不再参与=1\r\n"_s << QString() << 0
                                  << QString();
    QTest::newRow("count left out twice") << false << u"\n不参与=1\r\n"_s << u"\n不参与=1\r\n不参与=2\r\n"_s << 2
                                          << u"第 9 行"_s;
    // Killed before the replacement's line, or before the random numbers: never plain 一致.
    QTest::newRow("last line missing") << false << u"中奖4=16\r\n"_s << QString() << 3 << u"3 个中奖一致，应有 4 个"_s;
    QTest::newRow("no random numbers") << false << u"随机数1="_s << u"cut"_s << 3 << u"还没有随机数"_s;
}

// A record as a draw writes it: three winners for a prize, the second absent and redrawn;
// of the 27 entries one is on the exclusion list and one won earlier.
void tst_VerifiableDraw::verify()
{
    QFETCH(bool, inPool);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, status);
    QFETCH(QString, named);

    QTemporaryDir dir;
    EntryTable table;
    const QList<int> pool = fillTable(table);
    table.append(EntryRecord{u"026"_s, u"不参与"_s, u"部门"_s});
    table.append(EntryRecord{u"027"_s, u"已中奖"_s, u"部门"_s});
    VerifiableDraw draw;
    draw.setPool(table, pool, u"\t"_s, 1);
    QVERIFY(draw.begin(dir.path() + u'/', u"20240315_093007"_s, 3, u"一等奖"_s));
    // Left open, it is offered again for the same pool; a begun draw never reuses its files.
    QCOMPARE(draw.openRecords(dir.path(), 3), QStringList{draw.recordFile()});
    QCOMPARE(draw.openRecords(dir.path(), 4), QStringList());
    QVERIFY(!draw.begin(dir.path() + u'/', u"20240315_093007"_s, 3));
    QVERIFY(draw.resume(dir.filePath(VerifiableRecordFile::recordFileName(u"20240315_093007"_s)), 3));
    QVERIFY(!draw.setRandomInput({u"9319"_s, u"x"_s}));
    QVERIFY(draw.setRandomInput(exampleSources + QStringList{u" "_s}));
    QCOMPARE(draw.openRecords(dir.path(), 3), QStringList());
    QList<int> shown{draw.selectNext(), draw.selectNext(), draw.selectNext(), draw.redrawAbsent(2)};
    QCOMPARE(shown, (QList<int>{17, 7, 2, 16}));
    const QString poolName = QFileInfo(draw.poolFile()).fileName();
    const QString record = draw.recordFile();

    const QString edited = inPool ? dir.filePath(poolName) : record;
    QString text = TextCodec::decode(readBytes(edited)).text;
    const QString digest = draw.poolSha256();
    if (from == u"utf8"_s) {
        writeBytes(edited, text.toUtf8());
    } else if (!from.isEmpty()) {
        QVERIFY(text.contains(from));
        if (to == u"cut"_s) // the record ends before from
            text.truncate(text.indexOf(from));
        writeBytes(edited, TestSupport::gbk(text.replace(from, to)));
    }

    const VerificationResult result = verifyRecord(record);
    QCOMPARE(result.status, status);
    const QString said = status == 3 ? result.lines.value(result.lines.size() - 1) : result.message;
    QVERIFY2(said.contains(named), qPrintable(said));
    if (status == 0) {
        // What the notary compares comes first, the digest in full.
        QStringList facts{u"名单文件："_s + poolName,
                          u"名单SHA256："_s + VerifiableRecordFile::groupedHex(digest),
                          u"人数：25"_s, u"摇出个数：3"_s, u"奖项：一等奖"_s, u"不参与：1"_s, u"已中奖不再参与：1"_s,
                          u"随机数1：9319"_s, u"随机数2：2 5 12 8 10"_s, u"随机数3：9 18 26 34 41 45"_s,
                          u"密钥：9319./2.5.8.10.12./9.18.26.34.41.45./"_s};
        if (from.startsWith(u"奖项"_s))
            facts.remove(4, 3);
        QCOMPARE(result.lines, facts + QStringList({u"1\t17\t017\t姓名17\t部门"_s, u"2\t7\t007\t姓名7\t部门\t（缺席）"_s,
                                                    u"3\t2\t002\t姓名2\t部门"_s, u"4\t16\t016\t姓名16\t部门"_s, u"一致"_s}));
        QCOMPARE(facts[1].count(u' '), 15);
    }
}

// A selection the record cannot take is neither shown nor used up.
void tst_VerifiableDraw::unwritableRecord()
{
    QTemporaryDir dir;
    EntryTable table;
    VerifiableDraw draw;
    draw.setPool(table, fillTable(table), u"\t"_s);
    QVERIFY(draw.begin(dir.path() + u'/', u"20240315_093007"_s, 3));
    QVERIFY(draw.setRandomInput(exampleSources));
    QVERIFY(QFile::remove(draw.recordFile()) && QDir().mkdir(draw.recordFile()));
    QCOMPARE(draw.selectNext(), 0);
    QVERIFY(QDir().rmdir(draw.recordFile()));
    QCOMPARE(draw.selectNext(), 17);
}

QTEST_GUILESS_MAIN(tst_VerifiableDraw)
#include "tst_VerifiableDraw.moc"
