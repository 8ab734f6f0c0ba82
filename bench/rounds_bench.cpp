// A later round of an evening: the quick settings panel confirmed while the earlier winners
// are kept out, everything read from disk as the program reads it.
#include "BenchSupport.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/main/MainWindow.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int entryCount = 1000000, winnerCount = 100000, resultFileCount = 50;

QString entryLine(int i)
{
    return u'P' + QString::number(i) + u"\t姓名"_s + QString::number(i % 9973) + u"\t部门"_s
        + QString::number(i % 50) + u"\r\n"_s;
}

// A program folder with a million entries and a hundred thousand of them, every tenth, won in
// fifty earlier runs.
struct EventFolder {
    QTemporaryDir dir;

    EventFolder()
    {
        writeGbk(dir.filePath(u"ZOP摇号设置.ini"_s),
                 u"一次性摇出个数=10\r\n数据文件=名单.txt\r\n数据字段分隔符={tab}\r\n显示滚动列表=0\r\n中奖者不再参与=1\r\n"_s);
        QString text;
        text.reserve(entryCount * 24);
        for (int i = 1; i <= entryCount; ++i)
            text += entryLine(i);
        writeGbk(dir.filePath(u"名单.txt"_s), text);
        const int perFile = winnerCount / resultFileCount;
        for (int f = 0; f < resultFileCount; ++f) {
            QString lines;
            for (int w = f * perFile + 1; w <= (f + 1) * perFile; ++w)
                lines += entryLine(w * 10);
            writeGbk(dir.filePath(u"出号结果20240315_%1.txt"_s.arg(180000 + f * 100)), lines);
        }
    }
};

void BM_ConfirmWithEarlierWinners(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    EventFolder folder;
    Settings settings;
    RunData run;
    SilentMessageBoxes messages;
    MainWindow form(settings, run, messages, folder.dir.path());
    form.startUp();
    for (auto _ : state) {
        form.confirmQuickSettings();
        if (run.earlierWinnersKeptOut != winnerCount || run.drawOrder.size() != 10)
            state.SkipWithError("the earlier winners were not kept out");
    }
    state.counters["entries"] = entryCount;
    state.counters["earlier_winners"] = winnerCount;
    state.counters["result_files"] = resultFileCount;
}
BENCHMARK(BM_ConfirmWithEarlierWinners)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
