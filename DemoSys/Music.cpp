#include "Music.h"

#include "Bundle.h"
#include "DemoLog.h"
#include "Host.h"

std::unique_ptr<Host::MusicPlayer> gAVPlayer;

void avAudioInit() {
    const std::string path = Bundle::Path() + "/demomusa.mp3";
    gAVPlayer = Host::OpenMusic(path);
    if (gAVPlayer) gAVPlayer->prepareToPlay();
    DemoNote("Initiamalizing with music: %s", path.c_str());
}

void avAudioPlay() {
    if (gAVPlayer) gAVPlayer->play();
    DemoNote("Playing musics.");
}
