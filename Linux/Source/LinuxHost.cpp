// The Linux side of the demo's host seam: the clock that fixed-rate runs
// replace, SDL audio, libpng and EGL.
#include "DemoSys/Host.h"

#include <EGL/egl.h>

#include "AudioPlayer.h"
#include "PlatformClock.h"
#include "PngFile.h"

namespace Host {

double Now() { return PlatformClock::ShowNow(); }

std::unique_ptr<MusicPlayer> OpenMusic(const std::string& path) { return AudioPlayer::CreateFromFile(path); }

bool DecodePicture(const std::string& path, Picture& picture, std::string& error) {
    PngImage image;
    if (!ReadPng(path, image, error)) return false;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgba = std::move(image.rgba);
    return true;
}

void* GLProcAddress(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

}  // namespace Host
