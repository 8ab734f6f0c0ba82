// How closely a reveal keeps to the time its settings give: roll count M and speed s take
// M x s x 10 ms of rolling, 1.6 s of flashing and the pause. Real sleeps, a shown window.
#include "BenchSupport.h"
#include "draw/RunData.h"
#include "settings/Settings.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/WidgetColours.h"
#include "ui/main/MainWindow.h"
#include "ui/reveal/DrawWaits.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int entries = 1000, pauseTenths = 5, flashMs = 2 * 8 * 100;

void BM_RevealTiming(benchmark::State &state)
{
    if (!benchApplication()) {
        state.SkipWithError("another benchmark made a non-widget application");
        return;
    }
    const int rollCount = int(state.range(0)), speed = int(state.range(1));
    QTemporaryDir dir;
    QString text;
    for (int i = 1; i <= entries; ++i)
        text += u"A%1\t欧阳晓明\t市场营销部\r\n"_s.arg(i, 7, 10, QChar(u'0'));
    QFile file(dir.filePath(u"名单.txt"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(QStringEncoder("GBK").encode(text)) < 0) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    file.close();

    Settings settings;
    RunData run;
    SilentMessageBoxes messages(MessageBoxes::Answer::Yes);
    MainWindow form(settings, run, messages, dir.path());
    form.startUp(); // no settings file: the defaults, then these
    settings.rollCountMin = settings.rollCountMax = rollCount;
    settings.scrollSpeed = speed;
    settings.drawPause = pauseTenths;
    settings.showRollList = 0;
    form.findChild<QLineEdit *>(u"drawCountBox"_s)->setText(QString::number(entries));
    form.findChild<QLineEdit *>(u"dataFileBox"_s)->setText(u"名单.txt"_s);
    form.confirmQuickSettings();
    form.show();
    DrawWaits::processPendingEvents();

    // The real sleep, noting when the flash and the pause begin.
    QWidget *panel = form.findChild<QWidget *>(u"flashPanel"_s);
    const QColor panelColour = WidgetColours::backColor(panel);
    QElapsedTimer clock;
    qint64 flashStart = -1, pauseStart = -1;
    DrawWaits::ScopedSleepFunction sleep([&](int ms) {
        if (flashStart < 0 && WidgetColours::backColor(panel) != panelColour)
            flashStart = clock.nsecsElapsed();
        if (pauseStart < 0 && ms == 100)
            pauseStart = clock.nsecsElapsed();
        DrawWaits::threadSleep(ms);
    });

    double rolling = 0, flashing = 0, total = 0;
    int p = 0;
    for (auto _ : state) {
        flashStart = pauseStart = -1;
        clock.start();
        form.drawProcedure().revealWinner(++p);
        const qint64 end = clock.nsecsElapsed();
        rolling += double(flashStart);
        flashing += double(pauseStart - flashStart);
        total += double(end);
    }
    const double n = double(state.iterations()) * 1e6; // ns to ms, per reveal
    const double expected = rollCount * speed * 10.0 + flashMs + pauseTenths * 100.0;
    state.counters["expected_ms"] = expected;
    state.counters["measured_ms"] = total / n;
    state.counters["deviation_pct"] = (total / n - expected) / expected * 100.0;
    state.counters["rolling_ms"] = rolling / n;
    state.counters["flash_ms"] = flashing / n;
}
// roll count, speed
BENCHMARK(BM_RevealTiming)
    ->Args({40, 1})
    ->Args({40, 5})
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
