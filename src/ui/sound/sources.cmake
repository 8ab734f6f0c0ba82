# What the hall hears: the draw's sound cues (Qt Multimedia where the build has it).
set(ZOP_UI_SOUND_SOURCES
  sound/SoundCue.cpp sound/SoundCue.h
  sound/CueOutput.h
  sound/CuePlayer.cpp sound/CuePlayer.h
  sound/DeviceCueOutput.cpp sound/DeviceCueOutput.h
  sound/HallSound.cpp sound/HallSound.h
  sound/SoundSettingsFrame.cpp sound/SoundSettingsFrame.h
)
