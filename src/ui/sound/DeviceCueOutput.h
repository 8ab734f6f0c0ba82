#pragma once

#include "CueOutput.h"

#include <QObject>
#include <QThread>

#include <functional>

struct Settings;
class CueBank;

// The cues on the sound device: one player for each cue that has a file, loaded at once, in a
// thread of their own. The draw's thread sleeps between its steps and writes result files to
// the disk; the players never wait for it, and it never waits for them: a cue is only asked for.
class DeviceCueOutput : public QObject, public CueOutput
{
public:
    // failed hears of each file that cannot be played, once, in this object's thread.
    DeviceCueOutput(const Settings &settings, std::function<void(const QString &file)> failed);
    ~DeviceCueOutput() override;

    void play(Cue cue) override;
    void stop(Cue cue) override;
    void setMuted(bool muted) override;

private:
    QThread thread;
    CueBank *bank = nullptr; // lives in thread
};
