// The hall's sound: how long after a reveal its bell is heard at the sink, and what a rolling
// step of the 4K stage costs while the rolling music plays.
#include "BenchSupport.h"
#include "SoundServer.h"
#include "settings/Settings.h"
#include "ui/sound/DeviceCueOutput.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;

SoundServer *benchSoundServer()
{
    static SoundServer *server = [] {
        auto *s = new SoundServer; // lives as long as the program
        if (!s->start().isEmpty())
            return static_cast<SoundServer *>(nullptr);
        // Read by Qt's sound back end when it first looks for a device.
        qputenv("PULSE_SERVER", s->address().toLocal8Bit());
        return s;
    }();
    return server;
}

namespace {

// The shipped sounds, as the program finds them beside itself.
Settings shippedSounds()
{
    Settings settings;
    settings.appDir = QStringLiteral(ZOP_DATA_DIR) + u'/';
    return settings;
}

// From asking for the 中奖 cue to its first loud sample at the sink's monitor. The monitor is
// read in small pieces, each dated as it arrives; the sample's time is its piece's less what
// follows it, so the figure includes the recorder's own delay: it is an upper bound.
void BM_RevealToCue(benchmark::State &state)
{
    if (!benchApplication() || !benchSoundServer()) {
        state.SkipWithError("no PulseAudio server could be started");
        return;
    }
    const Settings settings = shippedSounds();
    DeviceCueOutput output(settings, [](const QString &) {});
    QProcess recorder;
    recorder.start(u"parec"_s, {u"-d"_s, u"hall.monitor"_s, u"--raw"_s, u"--format=s16le"_s,
                                u"--rate=%1"_s.arg(SoundServer::rate), u"--channels=1"_s, u"--latency-msec=2"_s});
    if (!recorder.waitForStarted(5000)) {
        state.SkipWithError("parec did not start");
        return;
    }
    QElapsedTimer clock;
    auto drain = [&](int ms) {
        clock.start();
        while (clock.elapsed() < ms)
            if (recorder.waitForReadyRead(5))
                recorder.readAll();
    };
    drain(1500); // the players load, the recorder settles
    // The process's first stream to the server takes about half a second to open; in the program
    // that happens with the rolling music, long before the first reveal.
    output.play(Cue::Winner);
    drain(1000);
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer sinceAsked;
        sinceAsked.start();
        output.play(Cue::Winner);
        double latency = -1;
        while (latency < 0 && sinceAsked.elapsed() < 2000) {
            if (!recorder.waitForReadyRead(20))
                continue;
            const qint64 arrived = sinceAsked.nsecsElapsed();
            const QByteArray piece = recorder.readAll();
            const auto *samples = reinterpret_cast<const qint16 *>(piece.constData());
            const qsizetype n = piece.size() / 2;
            for (qsizetype i = 0; i < n; ++i) {
                if (std::abs(samples[i]) > 500) {
                    latency = (double(arrived) * 1e-9) - double(n - i) / SoundServer::rate;
                    break;
                }
            }
        }
        if (latency < 0) {
            state.SkipWithError("the cue was never heard");
            return;
        }
        latency = std::max(latency, 0.0);
        worst = std::max(worst, latency);
        state.SetIterationTime(latency);
        drain(900); // the bell dies away
        output.stop(Cue::Winner);
        drain(100);
    }
    state.counters["worst_ms"] = worst * 1000;
    recorder.kill();
    recorder.waitForFinished();
}
BENCHMARK(BM_RevealToCue)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
