// The Linux side of the demo's host seam: the clock that fixed-rate runs
// replace, SDL audio, libpng and EGL.
#include "DemoSys/Host.h"

#include <EGL/egl.h>

#include <cstdlib>
#include <cstring>

#include "AudioPlayer.h"
#include "DisplaySurface.h"
#include "PlatformClock.h"
#include "PngFile.h"

namespace {
const DisplaySurface* gFrameJudge = nullptr;
}  // namespace

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

bool FrameWanted(double t) { return !gFrameJudge || gFrameJudge->WantsPicture(t); }

namespace {

// rand() draws from the C library's random() state, 128 bytes of which
// srand() seeds. The state's own array holds the read position only while
// another array is in use, so both copies switch to a spare one first.
constexpr size_t kStateBytes = 128;
static_assert(sizeof(RandomState::bytes) >= kStateBytes, "the whole random() state fits");

char* SwitchToSpare() {
    static char lSpare[kStateBytes];
    static bool lSeeded = false;
    if (!lSeeded) {
        // initstate() switches to the array it seeds; switch straight back.
        char* live = initstate(1, lSpare, kStateBytes);
        setstate(live);
        lSeeded = true;
    }
    return setstate(lSpare);
}

}  // namespace

void KeepRandom(RandomState& state) {
    char* live = SwitchToSpare();
    memcpy(state.bytes, live, kStateBytes);
    setstate(live);
}

void RestoreRandom(const RandomState& state) {
    char* live = SwitchToSpare();
    memcpy(live, state.bytes, kStateBytes);
    setstate(live);
}

}  // namespace Host

void SetFrameJudge(const DisplaySurface* screen) { gFrameJudge = screen; }
