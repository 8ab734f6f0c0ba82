#include "draw/AbsenceRecord.h"
#include "draw/EventWinners.h"
#include "draw/ResultFile.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;
using TestSupport::readBytes;

namespace {

// Ways a result file cannot be written even by root, and how each is put right again.
enum class Blocker { DirectoryInPlace, MissingFolder };

QString blockedPath(const QString &dir, Blocker blocker)
{
    return blocker == Blocker::DirectoryInPlace ? dir + u"/出号结果20240315_093007.txt"_s
                                                : dir + u"/缺少的目录/出号结果20240315_093007.txt"_s;
}

void block(const QString &path, Blocker blocker)
{
    QVERIFY(QDir().mkpath(blocker == Blocker::DirectoryInPlace ? path : QFileInfo(path).path()));
    if (blocker == Blocker::MissingFolder)
        QVERIFY(QDir(QFileInfo(path).path()).removeRecursively());
}

void unblock(const QString &path, Blocker blocker)
{
    if (blocker == Blocker::DirectoryInPlace)
        QVERIFY(QDir(path).removeRecursively());
    else
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
}

} // namespace

Q_DECLARE_METATYPE(Blocker)

class TestWinnerList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    Settings settings;
    RunData run;

    void startRun(const QString &separator, const QString &fileName)
    {
        settings.fieldSeparator = separator;
        run.resultFileName = fileName;
    }

private slots:
    void init();
    void resultFileName_data();
    void resultFileName();
    void resultLineBytes_data();
    void resultLineBytes();
    void appendsToAnExistingFile();
    void unwritableLineIsKeptAndWrittenFirst_data();
    void unwritableLineIsKeptAndWrittenFirst();
    void keptLinesGoBackToTheirOwnFile();
    void keptLinesNeverGoToAnotherFile();
    void writeErrorIsReported();
    void eventWinnersAreTheResultLines_data();
    void eventWinnersAreTheResultLines();
    void lineCutShortByAKill_data();
    void lineCutShortByAKill();
    void absencesAreAppendedAndReadBack();
    void waitingLinesAndAbsencesFollowTheArchive();
};

void TestWinnerList::init()
{
    run.entryTable.clear();
    run.entryTable.append(u"张三"_s, u"1001"_s, u"销售部"_s);
    run.entryTable.append(u"李四"_s, u"1002"_s, u"技术部"_s);
    run.entryTable.append(u"A €"_s, QString(), u"𠀀"_s);
    run.winnerList.clear();
    run.unwrittenResultLines.clear();
    QDir(dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(dir.path()));
}

void TestWinnerList::resultFileName_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("prize");
    QTest::addColumn<QString>("name");
    const QDateTime morning(QDate(2024, 3, 15), QTime(9, 30, 7));
    QTest::newRow("morning") << morning << QString() << u"出号结果20240315_093007.txt"_s;
    QTest::newRow("midnight") << QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0)) << QString()
                              << u"出号结果20250101_000000.txt"_s;
    QTest::newRow("last second of a year") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << QString()
                                           << u"出号结果19991231_235959.txt"_s;
    QTest::newRow("prize") << morning << u"三等奖"_s << u"出号结果20240315_093007_三等奖.txt"_s;
    QTest::newRow("prize with characters Windows refuses")
        << morning << u"A<>:\"/\\|?*\tB 奖"_s << u"出号结果20240315_093007_A__________B 奖.txt"_s;
}

void TestWinnerList::resultFileName()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, prize);
    QFETCH(QString, name);
    QCOMPARE(resultFileNameFor(u"/opt/zop/"_s, when, prize), u"/opt/zop/"_s + name);
    const ResultFileName parsed = parseResultFileName(name);
    QVERIFY(parsed.valid);
    QCOMPARE(parsed.time, when);
    QCOMPARE(parsed.prize, prizeFileNamePart(prize));
}

void TestWinnerList::resultLineBytes_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QList<int>>("winners");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("tab") << u"\t"_s << QList<int>{1}
                         << gbk(u"张三\t1001\t销售部\r\n"_s);
    QTest::newRow("blank, two winners in order") << u" "_s << QList<int>{2, 1}
                                                 << gbk(u"李四 1002 技术部\r\n张三 1001 销售部\r\n"_s);
    QTest::newRow("longer separator") << u"||"_s << QList<int>{1} << gbk(u"张三||1001||销售部\r\n"_s);
    // Created files are GB18030: the euro sign is A2 E3 there, and characters GBK lacks survive.
    QTest::newRow("euro and a character beyond GBK") << u","_s << QList<int>{3}
                                                      << QByteArray("A \xA2\xE3,,\x95\x32\x82\x36\r\n");
}

void TestWinnerList::resultLineBytes()
{
    QFETCH(QString, separator);
    QFETCH(QList<int>, winners);
    QFETCH(QByteArray, bytes);

    const QString file = dir.filePath(u"出号结果20240315_093007.txt"_s);
    startRun(separator, file);
    for (int e : winners)
        QVERIFY(addWinner(run, settings, e));
    QCOMPARE(readBytes(file), bytes);
    QCOMPARE(run.winnerList.size(), winners.size());
    QCOMPARE(run.winnerList.last(), run.entryTable.record(winners.last()));
    clearWinnerList(run);
    QVERIFY(run.winnerList.isEmpty());
}

void TestWinnerList::appendsToAnExistingFile()
{
    // Two runs started within one second share the name; the earlier lines stay.
    const QString file = dir.filePath(u"出号结果20240315_093007.txt"_s);
    TestSupport::writeBytes(file, gbk(u"王五\t1003\t财务部\r\n"_s));
    startRun(u"\t"_s, file);
    QVERIFY(addWinner(run, settings, 2));
    QVERIFY(appendResultLine(u"末行"_s, file));
    QCOMPARE(readBytes(file), gbk(u"王五\t1003\t财务部\r\n李四\t1002\t技术部\r\n末行\r\n"_s));
}

void TestWinnerList::unwritableLineIsKeptAndWrittenFirst_data()
{
    QTest::addColumn<Blocker>("blocker");
    QTest::newRow("a directory where the file should be") << Blocker::DirectoryInPlace;
    QTest::newRow("a path under a missing folder") << Blocker::MissingFolder;
}

void TestWinnerList::unwritableLineIsKeptAndWrittenFirst()
{
    QFETCH(Blocker, blocker);
    const QString file = blockedPath(dir.path(), blocker);
    block(file, blocker);
    startRun(u"\t"_s, file);

    QVERIFY(!addWinner(run, settings, 1));
    QVERIFY(!addWinner(run, settings, 2));
    // The winners stay recorded; their lines wait.
    QCOMPARE(run.winnerList.size(), 2);
    QCOMPARE(run.unwrittenResultLines.size(), 2);
    QVERIFY(!QFileInfo(file).isFile());

    unblock(file, blocker);
    QVERIFY(addWinner(run, settings, 3));
    QCOMPARE(readBytes(file), gbk(u"张三\t1001\t销售部\r\n李四\t1002\t技术部\r\n"_s) + "A \xA2\xE3\t\t\x95\x32\x82\x36\r\n");
    QVERIFY(run.unwrittenResultLines.isEmpty());
}

void TestWinnerList::keptLinesGoBackToTheirOwnFile()
{
    // One press per winner names a new file each time; a line kept for the first file goes there.
    const QString first = blockedPath(dir.path(), Blocker::DirectoryInPlace);
    const QString second = dir.filePath(u"出号结果20240315_093012.txt"_s);
    block(first, Blocker::DirectoryInPlace);
    startRun(u"\t"_s, first);
    QVERIFY(!addWinner(run, settings, 1));

    unblock(first, Blocker::DirectoryInPlace);
    run.resultFileName = second;
    QVERIFY(addWinner(run, settings, 2));
    QCOMPARE(readBytes(first), gbk(u"张三\t1001\t销售部\r\n"_s));
    QCOMPARE(readBytes(second), gbk(u"李四\t1002\t技术部\r\n"_s));
    QVERIFY(run.unwrittenResultLines.isEmpty());
}

// A line of a redraw waits for its run's file (open in Excel, say); the next prize's run must
// not take it, or the export would list it under that prize.
void TestWinnerList::keptLinesNeverGoToAnotherFile()
{
    const QString first = blockedPath(dir.path(), Blocker::DirectoryInPlace);
    const QString second = dir.filePath(u"出号结果20240315_093012_二等奖.txt"_s);
    block(first, Blocker::DirectoryInPlace);
    startRun(u"\t"_s, first);
    QVERIFY(!addWinner(run, settings, 1));

    run.resultFileName = second;
    QVERIFY(addWinner(run, settings, 2));
    QVERIFY(QFileInfo(first).isDir());
    QCOMPARE(readBytes(second), gbk(u"李四\t1002\t技术部\r\n"_s));
    QCOMPARE(run.unwrittenResultLines, (QList<ResultLine>{{first, u"张三\t1001\t销售部"_s}}));

    unblock(first, Blocker::DirectoryInPlace);
    QCOMPARE(writeKeptLines(run.unwrittenResultLines), QStringList{first});
    QCOMPARE(readBytes(first), gbk(u"张三\t1001\t销售部\r\n"_s));
    QVERIFY(run.unwrittenResultLines.isEmpty());

    // A run that never got a file name keeps its lines too.
    run.resultFileName.clear();
    QVERIFY(!addWinner(run, settings, 1));
    QCOMPARE(run.unwrittenResultLines, (QList<ResultLine>{{QString(), u"张三\t1001\t销售部"_s}}));
}

void TestWinnerList::writeErrorIsReported()
{
    // A device that refuses every write: opening works, writing fails.
    const QString full = u"/dev/full"_s;
    if (!QFileInfo(full).exists())
        QSKIP("no /dev/full here");
    QVERIFY(!appendResultLine(u"张三\t1001\t销售部"_s, full));
    startRun(u"\t"_s, full);
    QVERIFY(!addWinner(run, settings, 1));
    QCOMPARE(run.unwrittenResultLines.size(), 1);
}

using Files = QMap<QString, QByteArray>;

void TestWinnerList::eventWinnersAreTheResultLines_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("winners"); // first columns
    QTest::addColumn<QStringList>("unreadableFiles");
    const QString a = u"出号结果20240315_093007.txt"_s, b = u"出号结果20240315_101500_三等奖.txt"_s;
    QTest::newRow("every line of every file") << Files{{a, gbk(u"A1\t1\t1\r\nA2\t2\t2\r\n"_s)}, {b, gbk(u"A3\t3\t3\r\n"_s)}}
                                              << u"\t"_s << QStringList{u"A1"_s, u"A2"_s, u"A3"_s} << QStringList();
    QTest::newRow("short lines ignored") << Files{{a, gbk(u"A1\t1\r\n\r\nA2\t2\t2\r\n"_s)}, {b, gbk(u"A3\t3\t3\r\n"_s)}}
                                         << u"\t"_s << QStringList{u"A2"_s, u"A3"_s} << QStringList();
    // Copies and backups beside the result files are no winners of their own.
    QTest::newRow("only the program's own names, UTF-8 and a blank separator")
        << Files{{u"结果.txt"_s, "A1 1 1\r\n"}, {u"出号结果.bak"_s, "A2 2 2\r\n"}, {u"出号结果.txt"_s, "A4 4 4\r\n"},
                 {u"出号结果备份.txt"_s, "A5 5 5\r\n"}, {u"出号结果20240315_093007 - 副本.txt"_s, "A6 6 6\r\n"},
                 {u"出号结果20240315_093007_三等奖 - 副本.txt"_s, "A7 7 7\r\n"},
                 {u"出号结果20240315_093007_三等奖 - Copy (2).txt"_s, "A8 8 8\r\n"},
                 {u"出号结果20240315_093007_三等奖(1).txt"_s, "A9 9 9\r\n"},
                 {u"出号结果20240315_093007_三等奖.txt"_s, "\xEF\xBB\xBF" + u"张三 3 3\r\n"_s.toUtf8()}}
        << u" "_s << QStringList{u"张三"_s} << QStringList();
    // The program's own GBK, whatever UTF-8 would make of it; LF ends a line as well.
    QTest::newRow("GBK that passes for UTF-8, LF line ends") << Files{{a, gbk(u"钱平\t1\t1\n莫然\t2\t2\n"_s)}}
                                                             << u"\t"_s << QStringList{u"钱平"_s, u"莫然"_s} << QStringList();
    QTest::newRow("UTF-16 and a broken character are said")
        << Files{{a, QByteArray("\xFF\xFE" "A\0\t\0" "1\0\t\0" "1\0\r\0\n\0", 16)}, {b, gbk(u"A3\t3\t张"_s).chopped(1) + "\r\n"}}
        << u"\t"_s << QStringList() << QStringList{a, b};
}

void TestWinnerList::eventWinnersAreTheResultLines()
{
    QFETCH(Files, files);
    QFETCH(QString, separator);
    QFETCH(QStringList, winners);
    QFETCH(QStringList, unreadableFiles);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        TestSupport::writeBytes(dir.filePath(it.key()), it.value());
    // Lines still waiting for a file of the folder are winners as well, not those of an archive.
    const QString waiting = u"B1 x y"_s.replace(u' ', separator);
    const EventWinners event = readEventWinners(dir.path() + u'/', separator,
                                                {{dir.filePath(u"出号结果1.txt"_s), waiting},
                                                 {dir.filePath(u"历史结果/1/出号结果1.txt"_s), u"C1"_s + waiting}});
    QStringList read;
    for (int i = 1; i <= event.winners.entryCount(); ++i)
        read.append(event.winners.column(i, 1).toString());
    QCOMPARE(read, winners + QStringList{u"B1"_s});
    QStringList unreadable;
    for (const QString &path : event.unreadable)
        unreadable.append(QFileInfo(path).fileName());
    QCOMPARE(unreadable, unreadableFiles);
    // Whatever starts like a result file leaves with the event.
    QCOMPARE(archiveResultFiles(dir.path() + u'/', QDateTime(QDate(2024, 3, 16), QTime(8, 0))).notMoved, QStringList());
    QCOMPARE(QDir(dir.path()).entryList({u"出号结果*.txt"_s}), QStringList());
}

void TestWinnerList::lineCutShortByAKill_data()
{
    QTest::addColumn<QByteArray>("cut"); // what the killed write left after the whole lines
    QTest::addColumn<QString>("named");
    QTest::newRow("in a column") << gbk(u"A2\t1002\t技"_s) << u"A2\t1002\t技"_s;
    QTest::newRow("in a character") << gbk(u"A2\t李"_s).chopped(1) << u"A2\t"_s;
    QTest::newRow("between CR and LF") << gbk(u"A2\t1002\t技术部\r"_s) << u"A2\t1002\t技术部"_s;
}

// A kill can stop a write at a page boundary of the file: the line it leaves was never shown.
void TestWinnerList::lineCutShortByAKill()
{
    QFETCH(QByteArray, cut);
    QFETCH(QString, named);
    const QString appDir = dir.path() + u'/';
    const QString file = appDir + u"出号结果20240315_093007.txt"_s;
    const QByteArray whole = gbk(u"A1\t1001\t销售部\r\n"_s);
    TestSupport::writeBytes(file, whole + cut);

    const EventWinners event = readEventWinners(appDir, u"\t"_s);
    QCOMPARE(event.winners.entryCount(), 1);
    QVERIFY(event.unreadable.isEmpty());
    QCOMPARE(partialResultLines(appDir), QStringList{u"“"_s + QDir::toNativeSeparators(file) + u"”："_s + named});
    // The next line takes its place on a line of its own.
    startRun(u"\t"_s, file);
    QVERIFY(addWinner(run, settings, 1));
    QCOMPARE(readBytes(file), whole + gbk(u"张三\t1001\t销售部\r\n"_s));
    QVERIFY(partialResultLines(appDir).isEmpty());
}

void TestWinnerList::absencesAreAppendedAndReadBack()
{
    const QString appDir = dir.path() + u'/';
    QVERIFY(readAbsences(appDir).isEmpty());
    const Absence first{u"出号结果20240315_093007.txt"_s, 2, u"出号结果20240315_093007.txt"_s, 5};
    const Absence second{u"出号结果20240315_093007.txt"_s, 5, u"出号结果20240315_101500.txt"_s, 1};
    QVERIFY(appendAbsence(appDir, first, u"张三\t1001 -> 李四\r\n"_s));
    const QByteArray firstLine = readBytes(appDir + absenceRecordFileName());
    QCOMPARE(firstLine, gbk(u"出号结果20240315_093007.txt\t2\t出号结果20240315_093007.txt\t5\t张三\t1001 -> 李四  \r\n"_s));
    // Lines people added or cut short are skipped and counted; an LF alone ends a line too.
    TestSupport::writeBytes(appDir + absenceRecordFileName(), firstLine + "a.txt\t1\tb.txt\r\nx\t0\ty\t1\n\r\n");
    QVERIFY(appendAbsence(appDir, second, QString()));
    int unreadable = -1;
    QCOMPARE(readAbsences(appDir, &unreadable), (QList<Absence>{first, second}));
    QCOMPARE(unreadable, 2);
}

// Two lines of the old event could not be written yet, and the absence naming them waits for
// them; after 新活动 they go to the archived file and record, not into the new event.
void TestWinnerList::waitingLinesAndAbsencesFollowTheArchive()
{
    const QString appDir = dir.path() + u'/';
    settings.appDir = appDir;
    const QString old = u"出号结果20240315_093007.txt"_s;
    TestSupport::writeBytes(appDir + old, gbk(u"A\tB\tC\r\n"_s));
    run.unwrittenResultLines = {{appDir + old, u"x\ty\tz"_s, 101}, {appDir + old, u"u\tv\tw"_s, 102}};
    run.pendingAbsences = {{101, 102, appDir, u"x -> u"_s}};
    const ArchiveResult archived = archiveResultFiles(appDir, QDateTime(QDate(2024, 3, 16), QTime(8, 0)));
    QCOMPARE(archived.moved, 1);
    followArchive(run, appDir, archived);

    startRun(u"\t"_s, appDir + u"出号结果20240316_080001.txt"_s);
    QVERIFY(addWinner(run, settings, 1));
    QCOMPARE(readBytes(archived.folder + u'/' + old), gbk(u"A\tB\tC\r\nx\ty\tz\r\nu\tv\tw\r\n"_s));
    QCOMPARE(readAbsences(archived.folder), (QList<Absence>{{old, 2, old, 3}}));
    QVERIFY(readAbsences(appDir).isEmpty() && run.pendingAbsences.isEmpty());
    QCOMPARE(readEventWinners(appDir, u"\t"_s).winners.entryCount(), 1);
}

QTEST_GUILESS_MAIN(TestWinnerList)
#include "tst_WinnerList.moc"
