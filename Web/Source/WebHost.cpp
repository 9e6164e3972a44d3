// The browser side of the demo's host seam: the page's clock, Web Audio,
// stb_image and emscripten's EGL.
#include "DemoSys/Host.h"

#include <EGL/egl.h>

#include "StbPicture.h"
#include "WebClock.h"
#include "WebMusic.h"

namespace Host {

double Now() { return WebClock::ShowNow(); }

std::unique_ptr<MusicPlayer> OpenMusic(const std::string& path) { return WebMusic::Open(path); }

bool DecodePicture(const std::string& path, Picture& picture, std::string& error) {
    return DecodePictureWithStb(path, picture, error);
}

void* GLProcAddress(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

}  // namespace Host
