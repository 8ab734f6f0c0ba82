#include "DeviceCueOutput.h"

#include "CuePlayer.h"
#include "settings/Settings.h"

#include <array>
#include <utility>

// The players, in the sound thread. Idle music asked for while the fanfare plays waits for it.
class CueBank : public QObject
{
public:
    void load(const std::array<QString, 4> &files, int volume)
    {
        for (Cue cue : allCues) {
            const QString &file = files[size_t(cue)];
            if (file.isEmpty())
                continue;
            auto *p = new CuePlayer(file, SoundCue::loops(cue), this);
            p->setVolume(volume);
            players[size_t(cue)] = p;
        }
        if (CuePlayer *closing = player(Cue::Closing)) {
            connect(closing, &CuePlayer::finished, this, [this] {
                if (std::exchange(idleWaiting, false))
                    play(Cue::Idle);
            });
        }
    }

    void play(Cue cue)
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

    void stop(Cue cue)
    {
        if (cue == Cue::Idle)
            idleWaiting = false;
        if (CuePlayer *p = player(cue))
            p->stop();
    }

    void setMuted(bool muted)
    {
        for (CuePlayer *p : players)
            if (p)
                p->setMuted(muted);
    }

    CuePlayer *player(Cue cue) const { return players[size_t(cue)]; }

private:
    std::array<CuePlayer *, 4> players{};
    bool idleWaiting = false;
};

DeviceCueOutput::DeviceCueOutput(const Settings &settings, std::function<void(const QString &)> failed)
{
    std::array<QString, 4> files;
    for (Cue cue : allCues)
        files[size_t(cue)] = SoundCue::file(settings, cue);
    const int volume = settings.soundVolume;
    thread.setObjectName(QStringLiteral("sound"));
    thread.start();
    bank = new CueBank;
    bank->moveToThread(&thread);
    // Loading only starts the players' own loading, so this waits for no file.
    QMetaObject::invokeMethod(bank, [this, files, volume] { bank->load(files, volume); },
                              Qt::BlockingQueuedConnection);
    for (Cue cue : allCues)
        if (CuePlayer *p = bank->player(cue))
            connect(p, &CuePlayer::failed, this, [failed](const QString &f) { failed(f); });
}

DeviceCueOutput::~DeviceCueOutput()
{
    QMetaObject::invokeMethod(bank, [this] { delete bank; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

void DeviceCueOutput::play(Cue cue)
{
    QMetaObject::invokeMethod(bank, [this, cue] { bank->play(cue); });
}

void DeviceCueOutput::stop(Cue cue)
{
    QMetaObject::invokeMethod(bank, [this, cue] { bank->stop(cue); });
}

void DeviceCueOutput::setMuted(bool muted)
{
    QMetaObject::invokeMethod(bank, [this, muted] { bank->setMuted(muted); });
}
