#include "draw/RunData.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QString writeSettings(const QTemporaryDir &dir, const QString &lines)
    {
        TestSupport::writeBytes(dir.filePath(u"ZOP摇号设置.ini"_s), gbk(lines));
        return dir.path();
    }

private slots:
    void shippedFileLoads();
    void conversions();
    void missingFileGivesDefaultsAndWritesNothing();
    void missingOrBadNumbersTakeDefaults();
    void appDirGetsOneTrailingSeparator();
    void loadingEmptiesTheRunTables();
};

void TestSettings::shippedFileLoads()
{
    Settings s;
    RunData run;
    const auto source = AppFiles::loadSettings(s, run, TestSupport::shippedDataDir());
    QCOMPARE(source, AppFiles::SettingsSource::File);
    QCOMPARE(s.drawCount, 5);
    QCOMPARE(s.dataFile, u"测试数据.txt"_s);
    QCOMPARE(s.fieldSeparator, u"\t"_s);
    QCOMPARE(s.resultTitle, u"☆★☆★ 号榜 ☆★☆★\r\n=========================="_s);
    QCOMPARE(s.titleText, u"欢迎使用ZOP摇号工具"_s);
    QCOMPARE(s.showRollList, 1);
    QCOMPARE(s.rollCountMin, 20);
    QCOMPARE(s.rollCountMax, 40);
    QCOMPARE(s.fontSizeC, 36);
    QCOMPARE(s.showItemA + s.showItemB + s.showItemC, 3);
    QCOMPARE(s.excludeFile, s.appDir + u"不参与摇号.txt"_s);
    QCOMPARE(s.keepWinnersOut, 1);
}

void TestSettings::conversions()
{
    QTemporaryDir dir;
    writeSettings(dir, u"标题文字=第一行\\n第二行\r\n数据字段分隔符={space}{tab}\r\n一次性摇出个数= 12 \r\n"
                       "一次性摇出延时=12.5\r\n滚动速度=13.5\r\n中奖名单列显示=4\r\n结束语={TAB}\\n\r\n"_s);
    Settings s;
    RunData run;
    AppFiles::loadSettings(s, run, dir.path());
    QCOMPARE(s.titleText, u"第一行\r\n第二行"_s);
    QCOMPARE(s.fieldSeparator, u" \t"_s);
    QCOMPARE(s.drawCount, 12);
    QCOMPARE(s.drawPause, 12);
    QCOMPARE(s.scrollSpeed, 14);
    QCOMPARE(s.winnerColumns, 4);
    QCOMPARE(s.closingText, u"{TAB}\r\n"_s);

    writeSettings(dir, u"数据字段分隔符={TAB}\\n\r\n"_s);
    AppFiles::loadSettings(s, run, dir.path());
    QCOMPARE(s.fieldSeparator, u"{TAB}\\n"_s); // case-sensitive, and "\n" is not decoded here
}

void TestSettings::missingFileGivesDefaultsAndWritesNothing()
{
    QTemporaryDir dir;
    Settings s;
    RunData run;
    QCOMPARE(AppFiles::loadSettings(s, run, dir.path()), AppFiles::SettingsSource::MissingFile);
    QCOMPARE(TestSupport::folderEntries(dir.path()), QStringList());
    QCOMPARE(s.drawCount, 5);
    QCOMPARE(s.drawPause, 5);
    QCOMPARE(s.scrollSpeed, 5);
    QCOMPARE(s.onePerClick, 0);
    QCOMPARE(s.dataFile, u"测试数据.txt"_s);
    QCOMPARE(s.winnerColumns, 0);
    QCOMPARE(s.winnerShowIndex, 1);
    QCOMPARE(s.titleFontSize, 25);
    QCOMPARE(s.showRollList, 1);
    QCOMPARE(s.winnerFontSize, 12);
    QCOMPARE(s.fieldSeparator, u"\t"_s);
    QCOMPARE(s.closingText, u"**** 谢谢参与! ****"_s);
    QCOMPARE(s.resultFontSize, 12);
    QCOMPARE(s.fontSizeA, 36);
    QCOMPARE(s.showItemC, 1);
}

void TestSettings::missingOrBadNumbersTakeDefaults()
{
    QTemporaryDir dir;
    writeSettings(dir, u"一次性摇出个数=abc\r\n字号A=\r\n标题字号=12abc\r\n字号B=0\r\n"_s);
    Settings s;
    RunData run;
    QCOMPARE(AppFiles::loadSettings(s, run, dir.path()), AppFiles::SettingsSource::File);
    QCOMPARE(s.drawCount, 5);
    QCOMPARE(s.fontSizeA, 36);
    QCOMPARE(s.titleFontSize, 25);
    QCOMPARE(s.fontSizeB, 0); // no range check at load
    QCOMPARE(s.rollCountMax, 40);
    QCOMPARE(s.keepWinnersOut, 0); // a file from before the key: earlier winners may win again
    QCOMPARE(s.verifiableDraw, 0);
    QCOMPARE(s.dataFile, QString()); // a missing text key loads as empty text
}

void TestSettings::appDirGetsOneTrailingSeparator()
{
    QTemporaryDir dir;
    Settings s;
    RunData run;
    AppFiles::loadSettings(s, run, dir.path());
    QCOMPARE(s.appDir, dir.path() + u'/');
    AppFiles::loadSettings(s, run, dir.path() + u'/');
    QCOMPARE(s.appDir, dir.path() + u'/');
    QCOMPARE(AppFiles::withTrailingSeparator(u"/"_s), u"/"_s);
}

void TestSettings::loadingEmptiesTheRunTables()
{
    RunData run;
    run.entryTable.append(u"a"_s, u"b"_s, u"c"_s);
    run.excludeList.append(u"a"_s, u"b"_s, u"c"_s);
    run.vipList.append({u"1"_s, u"a"_s, u"b"_s, u"c"_s});
    run.drawOrder = {1};
    run.winnerList.append({u"a"_s, u"b"_s, u"c"_s});
    Settings s;
    AppFiles::loadSettings(s, run, TestSupport::shippedDataDir());
    QVERIFY(run.entryTable.isEmpty());
    QVERIFY(run.excludeList.isEmpty());
    QVERIFY(run.drawOrder.isEmpty());
    QVERIFY(run.winnerList.isEmpty());
    QCOMPARE(run.vipList.vipCount(), 1);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
