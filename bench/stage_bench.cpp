// One frame of the stage while names roll, with a full page of winner cards on it: what a
// rolling step costs on a projector and on a 4K screen. Also the frame that adds a card, and
// the page turn after the run.
#include "BenchSupport.h"
#include "entries/EntryTable.h"
#include "ui/stage/StageView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int entries = 1000000, cards = 200;

// Names from a few hundred characters, as a large company's would be, so that the glyphs of
// a rolling step are not always the same few.
const EntryTable &millionEntries()
{
    static const EntryTable table = [] {
        const QString surnames = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"_s;
        const QString given = u"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华玉萍红建华文辉力飞鑫波宁斌浩凯俊帆亮林峰晨阳欣怡雨轩子涵梓萱诗琪佳琦雅婷思远博文天宇晓东志强海燕春梅国庆建国永刚德胜少华立新振宇家豪浩然一鸣若曦梦瑶嘉怡"_s;
        const std::array<QString, 6> departments{u"市场营销部"_s, u"研发部"_s, u"财务部"_s,
                                                 u"人力资源部"_s, u"生产部"_s, u"客服部"_s};
        EntryTable t;
        for (int i = 1; i <= entries; ++i) {
            const quint32 h = quint32(i) * 2654435761u;
            QString name = surnames.at(h % surnames.size());
            name += given.at((h >> 8) % given.size());
            if (h & 0x10000)
                name += given.at((h >> 17) % given.size());
            t.append(u"A%1"_s.arg(i, 7, 10, QChar(u'0')), name, departments[(h >> 24) % 6]);
        }
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
        QElapsedTimer waiting;
        waiting.start();
        while (!(view->windowHandle() && view->windowHandle()->isExposed()) && waiting.elapsed() < 5000)
            QCoreApplication::processEvents();
        for (int i = 1; i <= winners; ++i)
            view->addWinner(millionEntries().record(i));
        view->showRolling(millionEntries().record(1));
        view->repaint(); // the layers are built here, once
    }
};

// Times each iteration and keeps the worst, since a dropped frame is what the audience sees.
template<typename Step>
void timeFrames(benchmark::State &state, QWidget &view, Step step)
{
    if (!view.windowHandle() || !view.windowHandle()->isExposed()) {
        state.SkipWithError("the stage was never shown");
        return;
    }
    PaintCounter counter;
    view.installEventFilter(&counter);
    // Wall time counts what other programs took from this one; thread time does not.
    const auto threadSeconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    double worst = 0, worstThread = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        const double threadStart = threadSeconds();
        clock.start();
        step();
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        worst = std::max(worst, seconds);
        worstThread = std::max(worstThread, threadSeconds() - threadStart);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
    state.counters["worst_cpu_ms"] = worstThread * 1000;
    state.counters["paints_per_frame"] = double(counter.paints) / double(state.iterations());
}

void BM_StageRollingFrame(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int height = int(state.range(0));
    Stage stage(QSize(height * 16 / 9, height), int(state.range(1)));
    int entry = 0;
    timeFrames(state, *stage.view, [&] {
        entry = int(qint64(entry) * 7919 % entries) + 1;
        stage.view->showRolling(millionEntries().record(entry));
        stage.view->repaint(stage.view->rollingRect());
    });
}
// With one card the panel and its rows are at their largest; with 200 the cards fill the stage.
BENCHMARK(BM_StageRollingFrame)->ArgsProduct({{1080, 2160}, {1, cards}})->ArgNames({"height", "cards"})
    ->UseManualTime()
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
    timeFrames(state, *stage.view, [&] {
        stage.view->addWinner(millionEntries().record(++entry));
        stage.view->repaint(stage.view->cardsRect());
    });
}
BENCHMARK(BM_StageWinnerFrame)->Arg(1080)->Arg(2160)->ArgName("height")->UseManualTime()
    ->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_StagePageTurn(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int height = int(state.range(0));
    Stage stage(QSize(height * 16 / 9, height), cards);
    stage.view->setPageInterval(3600 * 1000); // turned here only
    stage.view->showClosingText(u"谢谢参与！"_s);
    stage.view->repaint();
    timeFrames(state, *stage.view, [&] {
        stage.view->turnPage(1);
        stage.view->repaint(stage.view->cardsRect() | stage.view->areas().pageLabel);
    });
    state.counters["pages"] = stage.view->pageCount();
}
BENCHMARK(BM_StagePageTurn)->Arg(1080)->Arg(2160)->ArgName("height")->UseManualTime()
    ->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace
