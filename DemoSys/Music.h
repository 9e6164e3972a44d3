// The show's music, "demomusa.mp3" at the bundle's top: prepared while
// loading, started on the first played frame, never stopped.
#pragma once

#include <memory>

class AudioPlayer;

extern std::unique_ptr<AudioPlayer> gAVPlayer;

void avAudioInit();
void avAudioPlay();
