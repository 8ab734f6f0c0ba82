#include "HallSound.h"

#include "CuePlayer.h"
#include "DeviceCueOutput.h"
#include "settings/Settings.h"
#include "ui/common/MessageBoxes.h"
#include "ui/reveal/DrawProcedure.h"

#include <QDebug>
#include <QDir>

using namespace Qt::StringLiterals;

HallSound::HallSound(DrawProcedure &procedure, const Settings &settings, MessageBoxes &messages,
                     QWidget *dialogParent, OutputFactory factory)
    : procedure(procedure), settings(settings), messages(messages), dialogParent(dialogParent),
      factory(std::move(factory))
{
    procedure.addView(this);
    // A file found unplayable during a run is named once the run is over.
    reportTimer.setInterval(500);
    QObject::connect(&reportTimer, &QTimer::timeout, [this] { reportUnplayable(); });
}

HallSound::~HallSound()
{
    procedure.removeView(this);
}

std::unique_ptr<CueOutput> HallSound::deviceOutput(const Settings &settings, Failed failed)
{
    if (!CuePlayer::deviceAvailable())
        return nullptr;
    return std::make_unique<DeviceCueOutput>(settings, std::move(failed));
}

void HallSound::applySettings()
{
    output.reset();
    rolling = false;
    inRun = redrawing = false;
    const bool hadDevice = !noDevice;
    noDevice = false;
    if (settings.soundOn == 1) {
        output = factory(settings, [this](const QString &file) { unplayable(file); });
        noDevice = !output;
        if (noDevice && hadDevice)
            qInfo().noquote() << u"没有声音设备，声音已关闭。"_s;
    }
    if (output)
        output->setMuted(muted);
    play(Cue::Idle);
    announceState();
}

void HallSound::toggleMute()
{
    muted = !muted;
    if (output)
        output->setMuted(muted);
    announceState();
}

HallSound::State HallSound::state() const
{
    if (settings.soundOn != 1)
        return State::Off;
    if (noDevice)
        return State::NoDevice;
    return muted ? State::Muted : State::On;
}

void HallSound::announceState()
{
    if (stateChanged)
        stateChanged(state());
}

void HallSound::play(Cue cue)
{
    if (output)
        output->play(cue);
}

void HallSound::stop(Cue cue)
{
    if (output)
        output->stop(cue);
}

void HallSound::revealStarting(int position, int count)
{
    if (!inRun) {
        stop(Cue::Idle);
        closingPlayed = false;
    }
    inRun = true;
    revealPending = true;
    lastReveal = settings.onePerClick != 0 || position >= count;
}

void HallSound::rollingEntry(int)
{
    revealPending = true;
    if (rolling)
        return;
    rolling = true;
    play(Cue::Rolling);
}

void HallSound::winnerFlash(const QColor &)
{
    // The first step of the flash is the moment the winner shows.
    if (!std::exchange(revealPending, false))
        return;
    if (lastReveal && rolling) {
        rolling = false;
        stop(Cue::Rolling);
    }
    play(Cue::Winner);
}

void HallSound::revealFinished(int)
{
    if (!std::exchange(redrawing, false))
        return;
    inRun = false;
    play(Cue::Idle);
}

void HallSound::runFinished()
{
    inRun = false;
    if (rolling) {
        rolling = false;
        stop(Cue::Rolling);
    }
    if (closingPlayed)
        play(Cue::Idle);
}

// In continuous mode the closing text comes before the end of the run, in one-per-press mode
// after it: idle music follows whichever is last.
void HallSound::closingText(const QString &)
{
    play(Cue::Closing);
    closingPlayed = true;
    if (!inRun)
        play(Cue::Idle);
}

void HallSound::winnerAbsent(int)
{
    stop(Cue::Idle);
    inRun = redrawing = true;
    revealPending = lastReveal = true;
}

void HallSound::runStopped()
{
    // The window is closing: nothing may go on sounding.
    inRun = redrawing = rolling = false;
    for (Cue cue : allCues)
        stop(cue);
}

void HallSound::unplayable(const QString &file)
{
    if (reported.contains(file) || toReport.contains(file))
        return;
    toReport.append(file);
    reportUnplayable();
}

void HallSound::reportUnplayable()
{
    if (toReport.isEmpty()) {
        reportTimer.stop();
        return;
    }
    if (inRun || procedure.isRunning()) {
        reportTimer.start();
        return;
    }
    reportTimer.stop();
    const QStringList files = std::exchange(toReport, {});
    reported += files;
    QStringList names;
    for (const QString &f : files)
        names.append(u"“"_s + QDir::toNativeSeparators(f) + u"”"_s);
    messages.error(dialogParent, u"无法播放声音文件"_s + names.join(u'、') + u"，这些声音将不会播放。"_s);
}
