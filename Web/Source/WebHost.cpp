// The browser side of the demo's host seam: the page's clock, Web Audio,
// stb_image and emscripten's EGL.
#include "DemoSys/Host.h"

#include <EGL/egl.h>

#include "GlibcRandom.h"
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

bool FrameWanted(double) { return true; }

static_assert(sizeof(RandomState::bytes) >= GlibcRandom::kStateBytes, "the generator's state fits");

void KeepRandom(RandomState& state) { GlibcRandom::Keep(state.bytes); }

void RestoreRandom(const RandomState& state) { GlibcRandom::Restore(state.bytes); }

}  // namespace Host
