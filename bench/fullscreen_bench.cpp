// One rolling step of the main window in full screen, on a projector-sized and a 4K screen.
#include "BenchSupport.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/main/MainWindow.h"
#include "ui/reveal/DrawWaits.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// The offscreen platform has one 800 x 800 screen unless told otherwise, and reads its screens
// once, when the first application starts. So the screens are given before main(): the usual
// one first, where every other benchmark's windows open, and the two sizes measured here.
class ExtraScreens
{
public:
    ExtraScreens()
    {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (!platform.isEmpty() && platform != "offscreen")
            return;
        const qint64 pid = QCoreApplication::applicationPid();
        path = QDir::temp().filePath(u"zop_bench_screens_%1.json"_s.arg(pid));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(R"({"screens": [
            {"name": "", "x": 0, "y": 0, "width": 800, "height": 800},
            {"name": "1920x1080", "x": 800, "y": 0, "width": 1920, "height": 1080},
            {"name": "3840x2160", "x": 2720, "y": 0, "width": 3840, "height": 2160}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
    }
    ~ExtraScreens()
    {
        if (!path.isEmpty())
            QFile::remove(path);
    }

private:
    QString path;
};
const ExtraScreens extraScreens;

QScreen *screenNamed(const QString &name)
{
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == name)
            return s;
    }
    return nullptr;
}

void BM_RollingStepFullScreen(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const QString size = state.range(0) == 2160 ? u"3840x2160"_s : u"1920x1080"_s;
    QScreen *screen = screenNamed(size);
    if (!screen) {
        state.SkipWithError("no such screen: run on the offscreen platform");
        return;
    }
    QTemporaryDir dir;
    Settings settings;
    RunData run;
    SilentMessageBoxes messages;
    MainWindow form(settings, run, messages, dir.path());
    form.startUp(); // no settings file: the defaults
    for (int i = 1; i <= 1000; ++i)
        run.entryTable.append(u"A%1"_s.arg(i, 7, 10, QChar(u'0')), u"欧阳晓明"_s, u"市场营销部"_s);
    if (state.range(1) == 1)
        form.collapseOrExpand(0);
    form.move(screen->geometry().center() - QPoint(form.width() / 2, form.height() / 2));
    form.show();
    form.toggleFullScreen();
    QElapsedTimer settling;
    settling.start();
    while (form.geometry() != screen->geometry() && settling.elapsed() < 5000)
        DrawWaits::processPendingEvents();
    if (form.geometry() != screen->geometry()) {
        state.SkipWithError("the window did not fill the screen");
        return;
    }
    form.showRollingEntry(1);
    DrawWaits::processPendingEvents(); // the first paint draws the pictures at their size

    PaintCounter counter;
    form.findChild<QWidget *>(u"rollingRow(1)"_s)->installEventFilter(&counter);
    int entry = 0;
    for (auto _ : state) {
        form.showRollingEntry(entry % 1000 + 1);
        DrawWaits::processPendingEvents();
        ++entry;
    }
    state.counters["factor"] = form.layoutScale();
    state.counters["paints_per_step"] = double(counter.paints) / double(state.iterations());
    form.leaveFullScreen();
}
BENCHMARK(BM_RollingStepFullScreen)
    ->ArgsProduct({{1080, 2160}, {0, 1}})
    ->ArgNames({"height", "collapsed"})
    ->Unit(benchmark::kMillisecond);

} // namespace
