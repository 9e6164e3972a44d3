// The show's music, "demomusa.mp3" at the bundle's top: prepared while
// loading, started on the first played frame, never stopped.
#pragma once

#include <memory>

namespace Host {
class MusicPlayer;
}

extern std::unique_ptr<Host::MusicPlayer> gAVPlayer;

void avAudioInit();
void avAudioPlay();
