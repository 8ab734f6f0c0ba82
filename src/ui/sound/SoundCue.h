#pragma once

#include <QString>

#include <array>

struct Settings;

// The sounds of a draw, in the order of Settings::soundFiles.
enum class Cue { Rolling, Winner, Closing, Idle };
inline constexpr std::array<Cue, 4> allCues{Cue::Rolling, Cue::Winner, Cue::Closing, Cue::Idle};

namespace SoundCue {

// 滚动, 中奖, 结束, 待机: the name of its file in the sound folder.
QString name(Cue cue);
// 音效, beside the program.
QString folderName();
// Rolling and idle music repeat until stopped.
bool loops(Cue cue);

// The file a cue plays: the one the settings name (a relative name in the program's folder),
// else the first file in 音效/ named after the cue, whatever its extension; empty when there is
// none, and the cue is silent.
QString file(const Settings &settings, Cue cue);

} // namespace SoundCue
