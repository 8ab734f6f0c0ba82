#include "Generated.h"
#include "PrivateTmpfs.h"

#include "draw/EventWinners.h"
#include "draw/InterruptedDraw.h"
#include "draw/RecordVerification.h"
#include "draw/ResultFile.h"
#include "settings/IniFile.h"
#include "settings/TextCodec.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;
using TestSupport::readBytes;

namespace {

const QString driverPath = QStringLiteral(ZOP_KILL_DRIVER);

struct Outcome {
    QList<QByteArray> lines; // whole lines the driver printed before it died
    bool killed = false;     // false when it ended on its own first
    int exitCode = 0;
};

// Starts the driver, waits until it has printed linesFirst lines, waits delayMicros more and
// kills it. A negative delay lets it run to its end.
Outcome runDriver(const QStringList &args, int linesFirst, int delayMicros)
{
    Outcome result;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(driverPath, args);
    if (!process.waitForStarted())
        qFatal("cannot start %s", qPrintable(driverPath));
    QByteArray out;
    while (out.count('\n') < linesFirst && process.state() == QProcess::Running) {
        process.waitForReadyRead(30000);
        out += process.readAllStandardOutput();
    }
    if (delayMicros >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
        ::kill(pid_t(process.processId()), SIGKILL);
    }
    process.waitForFinished(60000);
    out += process.readAllStandardOutput();
    result.killed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    // A line is one write(); anything after the last line end was never printed whole.
    result.lines = out.left(out.lastIndexOf('\n') + 1).split('\n');
    result.lines.removeLast();
    return result;
}

QByteArray encoded(const QString &text)
{
    return TextCodec::encode(text, TextEncoding::Gb18030);
}

// The entry a result line names, or 0 when the line is not exactly one the draw writes.
int entryOfLine(const QByteArray &line)
{
    const DecodedText decoded = TextCodec::decode(line);
    const QString prefix = Generated::entry(1).column1.chopped(1);
    const QString first = decoded.text.section(QString::fromUtf16(Generated::separator), 0, 0);
    bool ok = false;
    const int entry = first.mid(prefix.size()).toInt(&ok);
    return ok && entry > 0 && encoded(Generated::resultLine(entry)) == line ? entry : 0;
}

// Every temporary name of a save starts with the file's name and this.
const QString savingMark = u".zop-saving"_s;

QStringList othersThan(const QString &dir, const QString &fileName)
{
    QStringList names = TestSupport::folderEntries(dir);
    names.removeAll(fileName);
    return names;
}

} // namespace

class TestKills : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<PrivateTmpfs> tmpfs;
    QString work; // where the driver writes

private slots:
    void initTestCase();
    void cleanupTestCase();
    void drawKeepsEveryReportedWinner();
    void eachLineIsOnDiskBeforeItIsReported();
    void savedFileIsOldOrNew_data();
    void savedFileIsOldOrNew();
    void verifiableDrawContinues_data();
    void verifiableDrawContinues();
};

void TestKills::initTestCase()
{
    // A kill loses nothing the kernel already holds, so the disk's sync waits add only time:
    // a tmpfs keeps the many runs quick.
    work = dir.filePath(u"tmpfs"_s);
    QVERIFY(QDir().mkpath(work));
    tmpfs = std::make_unique<PrivateTmpfs>(work, 64 * 1024 * 1024);
    if (!tmpfs->isMounted()) {
        qInfo("writing to the disk (%s)", qPrintable(tmpfs->failure()));
        work = dir.path();
    }
}

void TestKills::cleanupTestCase()
{
    tmpfs.reset();
}

void TestKills::drawKeepsEveryReportedWinner()
{
    constexpr int kills = 60;
    const QString folder = work + u"/draw"_s;
    QVERIFY(QDir().mkpath(folder));
    const QString file = resultFileNameFor(folder + u'/', QDateTime(QDate(2024, 3, 15), QTime(9, 30, 7)));
    QRandomGenerator moments(20240315);
    QList<QByteArray> recorded; // the lines the file must begin with, in order
    int reported = 0, writtenNotReported = 0, cutShort = 0;
    for (int k = 0; k < kills; ++k) {
        const int winnersFirst = int(moments.bounded(13));
        const int delay = int(moments.bounded(3000));
        const Outcome run = runDriver({u"draw"_s, file, QString::number(1000 + k), u"2000"_s, u"50"_s},
                                      winnersFirst, delay);
        QVERIFY2(run.killed, "the draw ended before it was killed");
        for (const QByteArray &line : run.lines) {
            QVERIFY2(line.startsWith("W "), line.constData()); // "F": a line did not reach the file
            recorded.append(encoded(Generated::resultLine(line.mid(2).toInt())));
            ++reported;
        }

        // A kill can cut the line being written short (the kernel stops a write at a page
        // boundary for it): never reported, no winner to the readers, cut off by the next append.
        const QByteArray bytes = readBytes(file);
        const qsizetype whole = bytes.lastIndexOf('\n') + 1;
        cutShort += whole < bytes.size() ? 1 : 0;
        QList<QByteArray> lines = bytes.first(whole).split('\n');
        lines.removeLast();
        for (QByteArray &line : lines) {
            QVERIFY(line.endsWith('\r'));
            line.chop(1);
        }
        QVERIFY2(lines.size() >= recorded.size(), qPrintable(u"kill %1: a reported winner is missing"_s.arg(k)));
        QCOMPARE(lines.mid(0, recorded.size()), recorded);
        // Killed after the line was written but before it was reported: it must still be whole.
        QVERIFY(lines.size() <= recorded.size() + 1);
        if (lines.size() > recorded.size()) {
            QVERIFY2(entryOfLine(lines.constLast()) > 0, lines.constLast().constData());
            recorded.append(lines.constLast());
            ++writtenNotReported;
        }
        QCOMPARE(othersThan(folder, QFileInfo(file).fileName()), QStringList());
    }
    qInfo("%d kills during a draw: %d winners reported, all in the file; %d more written but not reported; "
          "%d lines cut short",
          kills, reported, writtenNotReported, cutShort);
}

// What a kill cannot show: a power cut loses a line the kernel still held. Each line's write
// must be followed by fdatasync of that file before the winner is reported (shown).
void TestKills::eachLineIsOnDiskBeforeItIsReported()
{
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    if (strace.isEmpty())
        QSKIP("strace is not installed (scripts/install-deps installs it)");
    const QString file = resultFileNameFor(dir.path() + u'/', QDateTime(QDate(2024, 3, 15), QTime(9, 30, 7)));
    const QString log = dir.filePath(u"strace.log"_s);
    QProcess process;
    // LeakSanitizer cannot run under a tracer; the sanitizer build checks leaks elsewhere.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ASAN_OPTIONS"_s, env.value(u"ASAN_OPTIONS"_s) + u":detect_leaks=0"_s);
    process.setProcessEnvironment(env);
    process.start(strace, {u"-f"_s, u"-qq"_s, u"-e"_s, u"trace=write,fdatasync,fsync,close"_s, u"-o"_s, log,
                           driverPath, u"draw"_s, file, u"7"_s, u"40"_s, u"10"_s, u"3"_s});
    QVERIFY(process.waitForFinished(60000));
    if (process.exitCode() != 0 && !QFileInfo::exists(log))
        QSKIP("strace cannot trace here (no ptrace)");
    QVERIFY2(process.exitCode() == 0, process.readAll().right(2000).constData());

    // "write(3, ..." of a line, "fdatasync(3)" of the same descriptor, then "write(1, "W ..."".
    static const QRegularExpression call(
        QStringLiteral("^\\d+\\s+(write|fdatasync|fsync|close)\\((\\d+)(, \"(.{0,2}))?"));
    int reported = 0;
    QString unsynced; // descriptor of the last result line written
    bool synced = false;
    for (const QString &line : QString::fromUtf8(readBytes(log)).split(u'\n')) {
        const QRegularExpressionMatch m = call.match(line);
        if (!m.hasMatch())
            continue;
        const QString name = m.captured(1), fd = m.captured(2);
        if (name == u"write"_s && fd == u"1"_s && m.captured(4) == u"W "_s) {
            QVERIFY2(synced, qPrintable(u"winner %1 reported before its line was on disk"_s.arg(reported + 1)));
            ++reported;
            synced = false;
        } else if (name == u"write"_s && fd != u"1"_s && fd != u"2"_s && line.contains(u"\\r\\n\", "_s)) {
            // A result line; writes of the libraries' own (event descriptors) are left aside.
            unsynced = fd;
            synced = false;
        } else if ((name == u"fdatasync"_s || name == u"fsync"_s) && fd == unsynced) {
            synced = true;
        }
    }
    QCOMPARE(reported, 30);
}

void TestKills::savedFileIsOldOrNew_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("namedTemporaries");
    QTest::newRow("data file") << u"save"_s << false;
    QTest::newRow("data file, named temporary file") << u"save"_s << true;
    QTest::newRow("settings file") << u"ini"_s << false;
    QTest::newRow("settings file, named temporary file") << u"ini"_s << true;
}

void TestKills::savedFileIsOldOrNew()
{
    QFETCH(QString, kind);
    QFETCH(bool, namedTemporaries);
    constexpr int calibrations = 3;
    constexpr int kills = 30;
    const bool dataFile = kind == u"save";

    const QString folder = work + u'/' + QString::fromLatin1(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QString fileName = dataFile ? u"测试数据.txt"_s : u"ZOP摇号设置.ini"_s;
    const QString file = folder + u'/' + fileName;
    const QString scratch = work + u"/scratch.ini"_s;
    QByteArray current = dataFile ? encoded(Generated::dataFileText(0))
                                  : readBytes(TestSupport::shippedDataDir() + u'/' + fileName);
    QVERIFY(!current.isEmpty());
    TestSupport::writeBytes(file, current);
    // The bytes a save of this version makes of the current file; iniWriteValue's on a copy.
    auto newContent = [&](int version) -> QByteArray {
        if (dataFile) {
            static const QByteArray body = encoded(Generated::dataFileBody());
            return encoded(Generated::dataFileHead(version)) + body + encoded(Generated::dataFileTail(version));
        }
        TestSupport::writeBytes(scratch, current);
        if (!IniFile::iniWriteValue(scratch, Generated::settingsKey(), Generated::settingsValue(version)))
            qFatal("cannot rewrite the scratch settings file");
        return readBytes(scratch);
    };
    QStringList command;
    if (namedTemporaries)
        command.append(u"--named-temporaries"_s);
    command << kind << file;
    const QByteArray done = dataFile ? "D 0 " : "D 1 ";

    // A few saves left to finish say how long one takes; the kills fall within 1.3 times that.
    QList<int> saveTimes;
    for (int version = 1; version <= calibrations; ++version) {
        const QByteArray candidate = newContent(version);
        const Outcome run = runDriver(command + QStringList{QString::number(version)}, 0, -1);
        if (run.exitCode == 3)
            QSKIP("no mount namespace here to hide /proc from the driver");
        QCOMPARE(run.lines.size(), 2);
        QVERIFY(run.lines.at(1).startsWith(done));
        QCOMPARE(readBytes(file), candidate);
        current = candidate;
        saveTimes.append(run.lines.at(1).split(' ').at(2).toInt());
    }
    std::sort(saveTimes.begin(), saveTimes.end());
    const int saveMicros = qMax(1, saveTimes.at(calibrations / 2));

    QRandomGenerator moments(dataFile ? 3007 : 9303);
    int stayedOld = 0, becameNew = 0, endedBeforeKill = 0, leftTemporary = 0;
    for (int k = 0; k < kills; ++k) {
        const int version = calibrations + 1 + k;
        const QByteArray candidate = newContent(version);
        const int delay = int(moments.bounded(saveMicros * 13 / 10 + 1));
        const Outcome run = runDriver(command + QStringList{QString::number(version)}, 1, delay);
        QVERIFY(!run.lines.isEmpty() && run.lines.first() == "S");
        const bool finished = run.lines.size() > 1;
        if (finished)
            QVERIFY(run.lines.at(1).startsWith(done));
        endedBeforeKill += run.killed ? 0 : 1;

        const QByteArray bytes = readBytes(file);
        if (bytes == candidate) {
            ++becameNew;
            current = candidate;
        } else {
            QVERIFY2(!finished, "a save reported done left the old file");
            QVERIFY2(bytes == current, qPrintable(u"kill %1: the file is neither the old nor the new one"_s.arg(k)));
            ++stayedOld;
        }
        // A kill may leave a temporary file, but only one the next save recognises as its own;
        // a save that finished leaves none.
        const QStringList others = othersThan(folder, fileName);
        for (const QString &name : others)
            QVERIFY2(name.startsWith(fileName + savingMark), qPrintable(u"left behind: "_s + name));
        if (finished)
            QCOMPARE(others, QStringList());
        leftTemporary += others.isEmpty() ? 0 : 1;
    }
    const Outcome last = runDriver(command + QStringList{QString::number(calibrations + 1 + kills)}, 0, -1);
    QVERIFY(last.lines.size() == 2 && last.lines.at(1).startsWith(done));
    QCOMPARE(othersThan(folder, fileName), QStringList());
    qInfo("%d kills (%d bytes, a save about %d us): %d old, %d new (%d of them finished first), "
          "%d left a temporary file",
          kills, int(current.size()), saveMicros, stayedOld, becameNew, endedBeforeKill, leftTemporary);
}

void TestKills::verifiableDrawContinues_data()
{
    QTest::addColumn<int>("killedAt"); // the winner whose 中奖 line is the last one written
    QTest::newRow("rolling towards winner 1") << 1;
    QTest::newRow("rolling towards winner 3") << 3;
    QTest::newRow("rolling towards the last winner") << 5;
}

// Killed between a winner's record line and its reveal, then taken up again: the result files
// hold the record's winners in its order, each once, and the record checks out.
void TestKills::verifiableDrawContinues()
{
    QFETCH(int, killedAt);
    const QString folder = work + u"/verifiable-"_s + QString::number(killedAt);
    QVERIFY(QDir().mkpath(folder));
    const Outcome killed = runDriver({u"verifiable"_s, folder, u"200"_s, u"5"_s}, 2 * killedAt - 1, 0);
    QVERIFY2(killed.killed, "the draw ended before it was killed");
    QCOMPARE(killed.lines.constLast(), "R " + QByteArray::number(killedAt));
    const Outcome continued = runDriver({u"continue"_s, folder, u"200"_s}, 0, -1);
    QCOMPARE(continued.exitCode, 0);
    QCOMPARE(continued.lines.size(), 2 * (5 - killedAt + 1));

    const QString record = folder + u'/' + VerifiableRecordFile::recordFileName(u"20240315_093007"_s);
    const auto r = VerifiableRecordFile::readRecord(record);
    QVERIFY(r);
    QList<QByteArray> expected;
    for (const RecordStep &s : r->steps)
        expected.append(encoded(Generated::resultLine(s.position)));
    QList<QByteArray> onDisk;
    for (const QString &file : resultFiles(folder + u'/'))
        onDisk += readBytes(file).split('\n');
    onDisk.removeAll(QByteArray());
    for (QByteArray &line : onDisk)
        line.chop(1);
    QCOMPARE(onDisk, expected);
    QCOMPARE(expected.size(), 5);
    QCOMPARE(verifyRecord(record).status, 0);
    QVERIFY(!findInterruptedDraw(folder + u'/', QString::fromUtf16(Generated::separator)));
}

QTEST_GUILESS_MAIN(TestKills)
#include "tst_Kills.moc"
