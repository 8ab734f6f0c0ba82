#include "draw/EventWinners.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::gbk;

using Files = QMap<QString, QByteArray>; // name -> bytes; a null array stands for a folder

namespace {

const QString first = u"出号结果20240315_093007.txt"_s;
const QString second = u"出号结果20240315_101500.txt"_s;
const QDateTime when(QDate(2024, 3, 15), QTime(21, 0, 5));

void place(const QTemporaryDir &dir, const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.value().isNull())
            QVERIFY(QDir(dir.path()).mkdir(it.key()));
        else
            TestSupport::writeBytes(dir.filePath(it.key()), it.value());
    }
}

QStringList rows(const EntryTable &table)
{
    QStringList out;
    for (int i = 1; i <= table.entryCount(); ++i)
        out.append(table.column(i, 1) + u'|' + table.column(i, 2) + u'|' + table.column(i, 3));
    return out;
}

} // namespace

class TestEventWinners : public QObject
{
    Q_OBJECT

private slots:
    void readsTheResultFiles_data();
    void readsTheResultFiles();
    void newEventMovesTheResultFiles();
    void archiveFolderThatCannotBeCreatedChangesNothing();
    void fileThatCannotBeMovedStays();
};

void TestEventWinners::readsTheResultFiles_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("winners");
    QTest::addColumn<QStringList>("unreadable");

    QTest::newRow("no result file") << Files{{u"不参与摇号.txt"_s, gbk(u"A1\t名1\t部1\r\n"_s)}} << u"\t"_s
                                    << QStringList{} << QStringList{};
    QTest::newRow("every line of every file")
        << Files{{first, gbk(u"A1\t名1\t部1\r\nA2\t名2\t部2\r\n"_s)}, {second, gbk(u"A3\t名3\t部3\r\n"_s)}}
        << u"\t"_s << QStringList{u"A1|名1|部1"_s, u"A2|名2|部2"_s, u"A3|名3|部3"_s} << QStringList{};
    QTest::newRow("lines without three columns ignored, a last line without its end read")
        << Files{{first, gbk(u"A1\t名1\r\n\r\nA2\t名2\t部2"_s)}, {second, gbk(u"A3\t名3\t部3\r\n"_s)}}
        << u"\t"_s << QStringList{u"A2|名2|部2"_s, u"A3|名3|部3"_s} << QStringList{};
    QTest::newRow("only 出号结果*.txt")
        << Files{{u"结果.txt"_s, gbk(u"A1\t名1\t部1\r\n"_s)}, {u"出号结果.bak"_s, gbk(u"A2\t名2\t部2\r\n"_s)},
                 {u"出号结果.txt"_s, gbk(u"A3\t名3\t部3\r\n"_s)}}
        << u"\t"_s << QStringList{u"A3|名3|部3"_s} << QStringList{};
    QTest::newRow("UTF-8 with a mark, blank separator")
        << Files{{first, "\xEF\xBB\xBF" + u"A1 名1 部1\r\n"_s.toUtf8()}} << u" "_s
        << QStringList{u"A1|名1|部1"_s} << QStringList{};
    QTest::newRow("a folder of that name cannot be read; the others are")
        << Files{{first, QByteArray()}, {second, gbk(u"A3\t名3\t部3\r\n"_s)}} << u"\t"_s
        << QStringList{u"A3|名3|部3"_s} << QStringList{first};
}

void TestEventWinners::readsTheResultFiles()
{
    QFETCH(Files, files);
    QFETCH(QString, separator);
    QFETCH(QStringList, winners);
    QFETCH(QStringList, unreadable);
    QTemporaryDir dir;
    place(dir, files);

    const EventWinners event = readEventWinners(dir.path() + u'/', separator);
    QCOMPARE(rows(event.winners), winners);
    QStringList unreadableNames;
    for (const QString &path : event.unreadable)
        unreadableNames.append(QFileInfo(path).fileName());
    QCOMPARE(unreadableNames, unreadable);
    QCOMPARE(event.fileCount, files.keys().filter(QRegularExpression(u"^出号结果.*\\.txt$"_s)).size());

    // Lines still waiting for their file are winners as well.
    const EventWinners withUnwritten = readEventWinners(dir.path() + u'/', separator,
                                                        {{dir.filePath(first), u"B1"_s + separator + u"x"_s + separator + u"y"_s}});
    QCOMPARE(rows(withUnwritten.winners), winners + QStringList{u"B1|x|y"_s});
}

void TestEventWinners::newEventMovesTheResultFiles()
{
    QTemporaryDir dir;
    const Files files{{first, gbk(u"A1\t名1\t部1\r\n"_s)}, {second, gbk(u"A2\t名2\t部2\r\n"_s)},
                      {u"测试数据.txt"_s, gbk(u"A1\t名1\t部1\r\n"_s)}};
    place(dir, files);
    const QString appDir = dir.path() + u'/';

    const ArchiveResult archived = archiveResultFiles(appDir, when);
    QCOMPARE(archived.folder, dir.filePath(u"历史结果/20240315_210005"_s));
    QCOMPARE(archived.moved, 2);
    QVERIFY(archived.notMoved.isEmpty());
    QCOMPARE(TestSupport::folderEntries(archived.folder), (QStringList{first, second}));
    for (const QString &name : {first, second})
        QCOMPARE(TestSupport::readBytes(archived.folder + u'/' + name), files[name]);
    QCOMPARE(TestSupport::folderEntries(dir.path()), (QStringList{u"历史结果"_s, u"测试数据.txt"_s}));
    // Everyone takes part again.
    const EventWinners event = readEventWinners(appDir, u"\t"_s);
    QCOMPARE(event.fileCount, 0);
    QCOMPARE(event.winners.entryCount(), 0);

    // A second new event in the same second never mixes with the first one's files.
    place(dir, {{first, gbk(u"A9\t名9\t部9\r\n"_s)}});
    const ArchiveResult again = archiveResultFiles(appDir, when);
    QCOMPARE(again.folder, dir.filePath(u"历史结果/20240315_210005_2"_s));
    QCOMPARE(TestSupport::readBytes(archived.folder + u'/' + first), files[first]);
    QCOMPARE(TestSupport::readBytes(again.folder + u'/' + first), gbk(u"A9\t名9\t部9\r\n"_s));
}

void TestEventWinners::archiveFolderThatCannotBeCreatedChangesNothing()
{
    QTemporaryDir dir;
    place(dir, {{first, gbk(u"A1\t名1\t部1\r\n"_s)}, {u"历史结果"_s, "a file, not a folder"}});
    const ArchiveResult archived = archiveResultFiles(dir.path() + u'/', when);
    QVERIFY(archived.folder.isEmpty());
    QCOMPARE(archived.moved, 0);
    QCOMPARE(TestSupport::folderEntries(dir.path()), (QStringList{u"出号结果20240315_093007.txt"_s, u"历史结果"_s}));
    QCOMPARE(TestSupport::readBytes(dir.filePath(first)), gbk(u"A1\t名1\t部1\r\n"_s));
}

// Even root cannot move a file whose new path would be longer than the system allows: the
// program's folder is nested so deep that the archive folder just fits, the short name moves
// and the long one stays.
void TestEventWinners::fileThatCannotBeMovedStays()
{
    QTemporaryDir root;
    QString deep = root.path();
    const QByteArray folderPart = QFile::encodeName(u"历史结果/20240315_210005/"_s);
    const QString longName = u"出号结果"_s + QString(40, u'x') + u".txt"_s;
    const int longBytes = int(QFile::encodeName(longName).size());
    // appDir + folder part must fit in 4095 bytes, appDir + folder part + long name must not.
    const int target = 4095 - int(folderPart.size()) - longBytes / 2;
    while (QFile::encodeName(deep).size() + 1 < target) {
        const int room = target - int(QFile::encodeName(deep).size()) - 1;
        deep += u'/' + QString(std::min(200, std::max(1, room - 1)), u'd');
        QVERIFY(QDir().mkdir(deep));
    }
    const QString appDir = deep + u'/';
    QVERIFY(QFile::encodeName(appDir).size() + folderPart.size() <= 4095);
    QVERIFY(QFile::encodeName(appDir).size() + folderPart.size() + longBytes > 4095);
    TestSupport::writeBytes(appDir + longName, gbk(u"A1\t名1\t部1\r\n"_s));
    TestSupport::writeBytes(appDir + u"出号结果1.txt"_s, gbk(u"A2\t名2\t部2\r\n"_s));

    const ArchiveResult archived = archiveResultFiles(appDir, when);
    QVERIFY(!archived.folder.isEmpty());
    QCOMPARE(archived.moved, 1);
    QCOMPARE(archived.notMoved, QStringList{appDir + longName});
    QCOMPARE(TestSupport::readBytes(appDir + longName), gbk(u"A1\t名1\t部1\r\n"_s));
    QVERIFY(!QFile::exists(appDir + u"出号结果1.txt"_s));
}

QTEST_GUILESS_MAIN(TestEventWinners)
#include "tst_EventWinners.moc"
