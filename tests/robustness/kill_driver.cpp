// Runs one kind of write so that a test can kill it with SIGKILL at any moment. Every line it
// prints is one write() to stdout, so a reader never sees half of one:
//   draw <resultFile> <seed> <entries> <count> [rounds]
//                                               continuous draws (1000 rounds unless given),
//                                               "W <entry>" after each addWinner that returned true
//   save <dataFile> <version>                   "S" before writeWholeFile, "D <status> <us>" after
//   ini <settingsFile> <version>                "S" before iniWriteValue, "D <0|1> <us>" after
//   verifiable <folder> <entries> <count>       a verifiable draw: "R <n>" once winner n's 中奖 line
//                                               is recorded, a pause as its reveal rolls, then
//                                               "W <n>" after its addWinner returned true
//   continue <folder> <entries>                 takes up the folder's interrupted draw and
//                                               reveals what it owes, "R"/"W" alike
// With --named-temporaries first, the driver runs with /proc hidden in a mount namespace of its
// own: Qt then cannot write an unnamed temporary file and names one beside the target, as it
// does on Windows and on file systems without O_TMPFILE. Exit code 3: that was not possible.

#include "Generated.h"

#include "draw/DrawPreparation.h"
#include "draw/DrawRandom.h"
#include "draw/InterruptedDraw.h"
#include "draw/RunData.h"
#include "draw/WinnerList.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

#include <memory>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QByteArray &line)
{
    const QByteArray bytes = line + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        ::_exit(4);
}

bool hideProc()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("none", "/proc", "tmpfs", 0, "size=4k") == 0;
}

// Sanitizer runtimes read /proc when the program ends.
void showProc()
{
    ::umount2("/proc", MNT_DETACH);
}

int draw(const QString &resultFile, quint64 seed, int entries, int count, int rounds)
{
    Settings settings;
    settings.fieldSeparator = QString::fromUtf16(Generated::separator);
    RunData run;
    Generated::fillTable(run.entryTable, entries);
    run.resultFileName = resultFile;
    DrawRandom random(std::make_unique<XoshiroSource>(seed));
    // Bounded so that a driver nobody kills still ends.
    for (int round = 0; round < rounds; ++round) {
        if (!prepareDraw(run, count, random))
            return 2;
        for (int p = 1; p <= count; ++p) {
            const int entry = run.drawOrder.at(p - 1);
            say((addWinner(run, settings, entry) ? "W " : "F ") + QByteArray::number(entry));
        }
    }
    return 0;
}

int verifiable(const QString &folder, int entries, int count, bool continuing)
{
    Settings settings;
    settings.fieldSeparator = QString::fromUtf16(Generated::separator);
    RunData run;
    Generated::fillTable(run.entryTable, entries);
    const QString appDir = folder + u'/';
    VerifiableDraw &draw = run.verifiable;
    const QDate day(2024, 3, 15);
    if (continuing) {
        const auto interrupted = findInterruptedDraw(appDir, settings.fieldSeparator);
        if (!interrupted || !draw.continueDraw(*interrupted, run.entryTable, settings.fieldSeparator).isEmpty())
            return 2;
        count = draw.winnersToReveal();
        run.resultFileName = resultFileNameFor(appDir, QDateTime(day, QTime(9, 40, 0)));
    } else {
        QList<int> pool;
        for (int e = 1; e <= entries; ++e)
            pool.append(e);
        draw.setPool(run.entryTable, pool, settings.fieldSeparator);
        if (!draw.begin(appDir, u"20240315_093007"_s, count) || !draw.setRandomInput({u"9319"_s, u"2 5 12 8 10"_s}))
            return 2;
        run.resultFileName = resultFileNameFor(appDir, QDateTime(day, QTime(9, 30, 8)));
    }
    for (int n = 1; n <= count; ++n) {
        const int entry = draw.selectNext();
        if (entry == 0)
            return 2;
        say("R " + QByteArray::number(n));
        QThread::msleep(continuing ? 0 : 200);
        say((addWinner(run, settings, entry) ? "W " : "F ") + QByteArray::number(n));
    }
    return 0;
}

int save(const QString &kind, const QString &file, int version)
{
    const QString text = kind == u"save" ? Generated::dataFileText(version) : QString();
    const QString value = Generated::settingsValue(version);
    QElapsedTimer timer;
    say("S");
    timer.start();
    // The editor's save: the encoding it read the file in is known.
    const int status = kind == u"save" ? IniFile::writeWholeFile(text, file, TextEncoding::Gb18030)
                                       : int(IniFile::iniWriteValue(file, Generated::settingsKey(), value));
    say("D " + QByteArray::number(status) + ' ' + QByteArray::number(timer.nsecsElapsed() / 1000));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const bool named = !args.isEmpty() && args.first() == u"--named-temporaries";
    if (named) {
        args.removeFirst();
        if (!hideProc())
            return 3;
    }
    int code = 1;
    if ((args.size() == 5 || args.size() == 6) && args.at(0) == u"draw")
        code = draw(args.at(1), args.at(2).toULongLong(), args.at(3).toInt(), args.at(4).toInt(),
                    args.size() == 6 ? args.at(5).toInt() : 1000);
    else if (args.size() == 4 && args.at(0) == u"verifiable")
        code = verifiable(args.at(1), args.at(2).toInt(), args.at(3).toInt(), false);
    else if (args.size() == 3 && args.at(0) == u"continue")
        code = verifiable(args.at(1), args.at(2).toInt(), 0, true);
    else if (args.size() == 3 && (args.at(0) == u"save" || args.at(0) == u"ini"))
        code = save(args.at(0), args.at(1), args.at(2).toInt());
    if (named)
        showProc();
    return code;
}
