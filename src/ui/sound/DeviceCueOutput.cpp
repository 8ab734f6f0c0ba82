#include "DeviceCueOutput.h"

#include "CuePlayer.h"
#include "settings/Settings.h"

DeviceCueOutput::DeviceCueOutput(const Settings &settings, std::function<void(const QString &)> failed)
{
    for (Cue cue : allCues) {
        const QString file = SoundCue::file(settings, cue);
        if (file.isEmpty())
            continue;
        auto *p = new CuePlayer(file, SoundCue::loops(cue), this);
        p->setVolume(settings.soundVolume);
        connect(p, &CuePlayer::failed, this, [failed](const QString &f) { failed(f); });
        players[size_t(cue)] = p;
    }
    if (CuePlayer *closing = player(Cue::Closing)) {
        connect(closing, &CuePlayer::finished, this, [this] {
            if (std::exchange(idleWaiting, false))
                play(Cue::Idle);
        });
    }
}

DeviceCueOutput::~DeviceCueOutput() = default;

void DeviceCueOutput::play(Cue cue)
{
    CuePlayer *p = player(cue);
    if (!p)
        return;
    if (cue == Cue::Idle && player(Cue::Closing) && player(Cue::Closing)->isPlaying()) {
        idleWaiting = true;
        return;
    }
    p->play();
}

void DeviceCueOutput::stop(Cue cue)
{
    if (cue == Cue::Idle)
        idleWaiting = false;
    if (CuePlayer *p = player(cue))
        p->stop();
}

void DeviceCueOutput::setMuted(bool muted)
{
    for (CuePlayer *p : players)
        if (p)
            p->setMuted(muted);
}
