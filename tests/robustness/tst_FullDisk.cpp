#include "Generated.h"
#include "PrivateTmpfs.h"

#include "draw/ResultFile.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "entries/VipList.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/TextCodec.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {

enum class Disk { SmallTmpfs, FileSizeLimit };
enum class Save { DataFile, VipFile, SettingsFile };

// A folder whose writes run out of room on demand: a 64 KiB tmpfs that a filler file fills up,
// or a file size limit (RLIMIT_FSIZE, SIGXFSZ ignored) a few bytes above the largest file in it,
// which works wherever the process may not mount anything. Either way a write stops after some
// bytes, part-way through a call.
class NearlyFullDisk
{
public:
    NearlyFullDisk(Disk kind, const QString &folder) : kind(kind), folder(folder)
    {
        QDir().mkpath(folder);
        if (kind == Disk::SmallTmpfs)
            tmpfs = std::make_unique<PrivateTmpfs>(folder, 64 * 1024);
    }
    ~NearlyFullDisk() { release(); }
    NearlyFullDisk(const NearlyFullDisk &) = delete;
    NearlyFullDisk &operator=(const NearlyFullDisk &) = delete;

    QString unavailable() const { return tmpfs && !tmpfs->isMounted() ? tmpfs->failure() : QString(); }
    QString filePath(const QString &name) const { return folder + u'/' + name; }

    void fill()
    {
        if (kind == Disk::FileSizeLimit) {
            qint64 largest = 0;
            for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
                largest = qMax(largest, f.size());
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = rlim_t(largest + 64);
            limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
            QVERIFY(limited);
            return;
        }
        QFile filler(filePath(u"filler"_s));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        QVERIFY(QStorageInfo(folder).bytesFree() < block.size());
    }

    void release()
    {
        if (limited)
            setrlimit(RLIMIT_FSIZE, &saved);
        limited = false;
        QFile::remove(filePath(u"filler"_s));
    }

    // Free bytes where they are the folder's own; -1 under a file size limit on a shared disk.
    qint64 bytesFree() const { return kind == Disk::SmallTmpfs ? QStorageInfo(folder).bytesFree() : -1; }

    // The folder's files other than the filler.
    QStringList files() const
    {
        QStringList names = TestSupport::folderEntries(folder);
        names.removeAll(u"filler"_s);
        return names;
    }

private:
    Disk kind;
    QString folder;
    std::unique_ptr<PrivateTmpfs> tmpfs;
    rlimit saved{};
    bool limited = false;
};

QByteArray encoded(const QString &text)
{
    return TextCodec::encode(text, TextEncoding::Gb18030);
}

QByteArray resultLines(const QList<int> &entries)
{
    QByteArray bytes;
    for (int e : entries)
        bytes += encoded(Generated::resultLine(e) + u"\r\n");
    return bytes;
}

void addDisks()
{
    QTest::addColumn<Disk>("disk");
    QTest::newRow("64 KiB tmpfs") << Disk::SmallTmpfs;
    QTest::newRow("file size limit") << Disk::FileSizeLimit;
}

} // namespace

Q_DECLARE_METATYPE(Disk)
Q_DECLARE_METATYPE(Save)

class TestFullDisk : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int rowNumber = 0;

    QString nextFolder() { return dir.filePath(QString::number(++rowNumber)); }

private slots:
    void initTestCase();
    void resultLinesWaitForRoom_data();
    void resultLinesWaitForRoom();
    void saveFailsAndKeepsOldFile_data();
    void saveFailsAndKeepsOldFile();
};

void TestFullDisk::initTestCase()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

void TestFullDisk::resultLinesWaitForRoom_data()
{
    addDisks();
}

void TestFullDisk::resultLinesWaitForRoom()
{
    QFETCH(Disk, disk);
    NearlyFullDisk full(disk, nextFolder());
    if (!full.unavailable().isEmpty())
        QSKIP(qPrintable(full.unavailable()));

    Settings settings;
    settings.fieldSeparator = QString::fromUtf16(Generated::separator);
    RunData run;
    Generated::fillTable(run.entryTable, 500);
    run.resultFileName = resultFileNameFor(full.filePath(QString()), QDateTime(QDate(2024, 3, 15), QTime(9, 30, 7)));
    const QString fileName = QFileInfo(run.resultFileName).fileName();
    QList<int> written;
    for (int e : {1, 2}) {
        QVERIFY(addWinner(run, settings, e));
        written.append(e);
    }

    // Lines go on fitting into the room left until one does not fit whole.
    full.fill();
    int entry = 3;
    while (entry <= 500 && addWinner(run, settings, entry))
        written.append(entry++);
    QVERIFY2(entry <= 500, "the disk never ran out of room");
    const qint64 freeAfterFailure = full.bytesFree();
    QVERIFY(addWinner(run, settings, entry + 1) == false);
    QCOMPARE(full.bytesFree(), freeAfterFailure);
    QCOMPARE(readBytes(run.resultFileName), resultLines(written));
    QCOMPARE(run.winnerList.size(), written.size() + 2);
    QCOMPARE(run.winnerList.constLast(), Generated::entry(entry + 1));
    QCOMPARE(run.unwrittenResultLines,
             (QList<ResultLine>{{run.resultFileName, Generated::resultLine(entry)},
                                {run.resultFileName, Generated::resultLine(entry + 1)}}));
    QCOMPARE(full.files(), QStringList{fileName});
    qInfo("%s: %lld bytes of result lines fitted, then two lines were kept",
          QTest::currentDataTag(), QFileInfo(run.resultFileName).size());

    // With room again the kept lines come first, in their order.
    full.release();
    QVERIFY(addWinner(run, settings, entry + 2));
    written << entry << entry + 1 << entry + 2;
    QCOMPARE(readBytes(run.resultFileName), resultLines(written));
    QVERIFY(run.unwrittenResultLines.isEmpty());
}

void TestFullDisk::saveFailsAndKeepsOldFile_data()
{
    QTest::addColumn<Disk>("disk");
    QTest::addColumn<Save>("save");
    const std::pair<Disk, const char *> disks[] = {{Disk::SmallTmpfs, "64 KiB tmpfs"},
                                                    {Disk::FileSizeLimit, "file size limit"}};
    const std::pair<Save, const char *> saves[] = {
        {Save::DataFile, "data file"}, {Save::VipFile, "VIP file"}, {Save::SettingsFile, "settings file"}};
    for (const auto &[disk, diskName] : disks) {
        for (const auto &[save, saveName] : saves)
            QTest::addRow("%s, %s", saveName, diskName) << disk << save;
    }
}

void TestFullDisk::saveFailsAndKeepsOldFile()
{
    QFETCH(Disk, disk);
    QFETCH(Save, save);
    NearlyFullDisk full(disk, nextFolder());
    if (!full.unavailable().isEmpty())
        QSKIP(qPrintable(full.unavailable()));

    // An old file of a few KiB; the new one needs room for about 20 KiB more beside it.
    const QString separator = QString::fromUtf16(Generated::separator);
    QString fileName;
    QByteArray old;
    std::function<bool()> write;
    VipList vips;
    switch (save) {
    case Save::DataFile:
        fileName = u"测试数据.txt"_s;
        old = encoded(Generated::dataFileText(0).left(4000));
        write = [&] {
            return IniFile::writeWholeFile(Generated::dataFileText(1).left(20000), full.filePath(fileName)) == 0;
        };
        break;
    case Save::VipFile:
        fileName = AppFiles::vipFileName();
        old = encoded(u"1#*#参与者1\t10000001\t第1部门\r\n"_s);
        for (int i = 1; i <= 600; ++i) {
            const EntryRecord e = Generated::entry(i);
            vips.append({QString::number(i), e.column1, e.column2, e.column3});
        }
        write = [&] { return saveVipFile(vips, separator, full.filePath(fileName)) == 0; };
        break;
    case Save::SettingsFile:
        fileName = AppFiles::settingsFileName();
        old = readBytes(TestSupport::shippedDataDir() + u'/' + fileName);
        QVERIFY(!old.isEmpty());
        write = [&] {
            return IniFile::iniWriteValue(full.filePath(fileName), Generated::settingsKey(),
                                                 QString(10000, u'摇'));
        };
        break;
    }
    writeBytes(full.filePath(fileName), old);

    full.fill();
    const qint64 freeBefore = full.bytesFree();
    QVERIFY2(!write(), "the save reported success on a full disk");
    QCOMPARE(readBytes(full.filePath(fileName)), old);
    QCOMPARE(full.files(), QStringList{fileName});
    QCOMPARE(full.bytesFree(), freeBefore); // nothing hidden holds on to the room

    full.release();
    QVERIFY(write());
    QVERIFY(readBytes(full.filePath(fileName)).size() > 20000);
    QCOMPARE(full.files(), QStringList{fileName});
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_FullDisk.moc"
