#pragma once

#include "CueOutput.h"

#include <QObject>

#include <array>
#include <functional>

struct Settings;
class CuePlayer;

// The cues on the sound device: one player for each cue that has a file, loaded at once.
// Idle music asked for while the closing fanfare plays waits for it to end.
class DeviceCueOutput : public QObject, public CueOutput
{
public:
    // failed hears of each file that cannot be played, once.
    DeviceCueOutput(const Settings &settings, std::function<void(const QString &file)> failed);
    ~DeviceCueOutput() override;

    void play(Cue cue) override;
    void stop(Cue cue) override;
    void setMuted(bool muted) override;

private:
    CuePlayer *player(Cue cue) const { return players[size_t(cue)]; }

    std::array<CuePlayer *, 4> players{};
    bool idleWaiting = false;
};
