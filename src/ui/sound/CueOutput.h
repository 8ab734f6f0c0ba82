#pragma once

#include "SoundCue.h"

// Where the hall's cues are played: the sound device, or a test's record.
class CueOutput
{
public:
    virtual ~CueOutput() = default;
    // From the start; a looping cue repeats until stopped. A cue without a file stays silent.
    virtual void play(Cue cue) = 0;
    virtual void stop(Cue cue) = 0;
    // Cues go on silently, so that unmuting in the middle of rolling is heard at once.
    virtual void setMuted(bool muted) = 0;
};
