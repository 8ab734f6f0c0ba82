// The main window's display costs: one rolling step, the winner list, the idle roll list.
#include "BenchSupport.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/main/MainWindow.h"
#include "ui/reveal/DrawWaits.h"
#include "ui/reveal/RollingDisplay.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// The main window with the default settings, shown, and a table of the given size.
struct ShownWindow {
    explicit ShownWindow(int entries) : form(settings, run, messages, dir.path())
    {
        form.startUp(); // no settings file: the defaults
        for (int i = 1; i <= entries; ++i)
            run.entryTable.append(u"A%1"_s.arg(i, 7, 10, QChar(u'0')), u"欧阳晓明"_s,
                                  u"市场营销部"_s);
        form.show();
        DrawWaits::processPendingEvents();
    }

    QTemporaryDir dir;
    Settings settings;
    RunData run;
    SilentMessageBoxes messages;
    MainWindow form;
};

void BM_RollingStep(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    ShownWindow w(1000);
    PaintCounter counter;
    QWidget *row = w.form.findChild<QWidget *>(u"rollingRow(1)"_s);
    row->installEventFilter(&counter);
    int entry = 0;
    for (auto _ : state) {
        w.form.showRollingEntry(entry % 1000 + 1);
        DrawWaits::processPendingEvents();
        ++entry;
    }
    state.counters["paints_per_step"] = double(counter.paints) / double(state.iterations());
}
BENCHMARK(BM_RollingStep)->Unit(benchmark::kMillisecond);

void BM_ShowWinnerList(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    ShownWindow w(0);
    for (int i = 1; i <= state.range(0); ++i)
        w.run.winnerList.append({u"A%1"_s.arg(i, 7, 10, QChar(u'0')), u"欧阳晓明"_s, u"市场营销部"_s});
    for (auto _ : state) {
        w.form.showWinnerList();
        DrawWaits::processPendingEvents();
    }
}
BENCHMARK(BM_ShowWinnerList)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_FillRollList(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int entries = int(state.range(0));
    ShownWindow w(entries);
    // Shown without its timer, so that only the calls below fill it.
    w.form.findChild<QWidget *>(u"rollList"_s)->show();
    int start = 0;
    for (auto _ : state) {
        start = (start + 997) % entries;
        w.form.fillRollList(start);
    }
}
BENCHMARK(BM_FillRollList)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The twenty lines alone, without the label's repaint.
void BM_RollListText(benchmark::State &state)
{
    const int entries = int(state.range(0));
    EntryTable table;
    for (int i = 1; i <= entries; ++i)
        table.append(u"A%1"_s.arg(i, 7, 10, QChar(u'0')), u"欧阳晓明"_s, u"市场营销部"_s);
    int start = 0;
    for (auto _ : state) {
        start = (start + 997) % entries;
        benchmark::DoNotOptimize(RollingDisplay::rollListText(table, start));
    }
}
BENCHMARK(BM_RollListText)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
