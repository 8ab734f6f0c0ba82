// One frame of the stage while names roll, with a full page of winner cards on it: what a
// rolling step costs on a projector and on a 4K screen. Also the frame that adds a card.
#include "BenchSupport.h"
#include "entries/EntryTable.h"
#include "ui/stage/StageView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int entries = 1000000, cards = 200;

const EntryTable &millionEntries()
{
    static const EntryTable table = [] {
        EntryTable t;
        const std::array<QString, 4> names{u"欧阳晓明"_s, u"李娜"_s, u"王建国"_s, u"张伟"_s};
        for (int i = 1; i <= entries; ++i)
            t.append(u"A%1"_s.arg(i, 7, 10, QChar(u'0')), names[i % 4], u"市场营销部"_s);
        return t;
    }();
    return table;
}

struct Stage {
    QTemporaryDir photos;
    std::unique_ptr<StageView> view;

    Stage(QSize size, int winners)
    {
        for (int i = 1; i <= winners; i += 2) // every other winner has a photo
            samplePortrait(i).save(QDir(photos.path()).filePath(millionEntries().column(i, 1) + u".jpg"_s));
        view = std::make_unique<StageView>();
        view->setTitle(u"2026年度盛典\n幸运大抽奖"_s);
        view->setPrize(u"一等奖"_s);
        view->setPhotoFolder(photos.path());
        view->setGeometry(QRect(QPoint(0, 0), size));
        view->show();
        for (int i = 1; i <= winners; ++i)
            view->addWinner(millionEntries().record(i));
        view->showRolling(millionEntries().record(1));
        view->repaint(); // the layers are built here, once
    }
};

// Times each iteration and keeps the worst, since a dropped frame is what the audience sees.
template<typename Step>
void timeFrames(benchmark::State &state, Step step)
{
    double worst = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        step();
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
}

void BM_StageRollingFrame(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int height = int(state.range(0));
    Stage stage(QSize(height * 16 / 9, height), cards);
    int entry = 0;
    timeFrames(state, [&] {
        entry = entry * 7919 % entries + 1;
        stage.view->showRolling(millionEntries().record(entry));
        stage.view->repaint(stage.view->rollingRect());
    });
}
BENCHMARK(BM_StageRollingFrame)->Arg(1080)->Arg(2160)->ArgName("height")->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_StageWinnerFrame(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int height = int(state.range(0));
    Stage stage(QSize(height * 16 / 9, height), cards);
    int entry = cards;
    timeFrames(state, [&] {
        stage.view->addWinner(millionEntries().record(++entry));
        stage.view->repaint(stage.view->cardsRect());
    });
}
BENCHMARK(BM_StageWinnerFrame)->Arg(1080)->Arg(2160)->ArgName("height")->UseManualTime()
    ->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace
