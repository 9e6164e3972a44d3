#include "Music.h"

#include "Bundle.h"
#include "DemoLog.h"
#include "Linux/Source/AudioPlayer.h"

std::unique_ptr<AudioPlayer> gAVPlayer;

void avAudioInit() {
    const std::string path = Bundle::Path() + "/demomusa.mp3";
    gAVPlayer = AudioPlayer::CreateFromFile(path);
    if (gAVPlayer) gAVPlayer->prepareToPlay();
    DemoLog("Initiamalizing with music: %s", path.c_str());
}

void avAudioPlay() {
    if (gAVPlayer) gAVPlayer->play();
    DemoLog("Playing musics.");
}
