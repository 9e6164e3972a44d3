#include "WebMusic.h"

#include <emscripten.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "DemoSys/ViewerOffset.h"
#include "WebClock.h"

namespace {
// The latency the show's clock allows for now.
double gLatency = 0.0;
}  // namespace

// The page object (kestrelPage, in the shell) owns the audio context.
EM_JS(void, kestrel_decode_music, (const unsigned char* bytes, int length, const char* path), {
    kestrelPage.decodeMusic(HEAPU8.slice(bytes, bytes + length).buffer, UTF8ToString(path));
});
EM_JS(int, kestrel_has_audio, (), { return kestrelPage.hasAudio() ? 1 : 0; });
EM_JS(int, kestrel_play_music, (), { return kestrelPage.playMusic() ? 1 : 0; });
EM_JS(double, kestrel_output_latency, (), { return kestrelPage.outputLatency(); });
EM_JS(void, kestrel_pause_music, (), { kestrelPage.pauseMusic(); });
EM_JS(void, kestrel_seek_music, (double seconds), { kestrelPage.seekMusic(seconds); });
EM_JS(double, kestrel_music_position, (), { return kestrelPage.musicPosition(); });
EM_JS(void, kestrel_unlock_audio, (), { kestrelPage.unlockAudio(); });
EM_JS(int, kestrel_music_settled, (), { return kestrelPage.musicSettled() ? 1 : 0; });

std::unique_ptr<WebMusic> WebMusic::Open(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        fprintf(stderr, "kestrel: music %s: %s; playing silently\n", path.c_str(), strerror(errno));
        kestrel_decode_music(nullptr, 0, nullptr);
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    kestrel_decode_music(bytes.data(), static_cast<int>(bytes.size()), path.c_str());
    return std::unique_ptr<WebMusic>(new WebMusic());
}

bool WebMusic::prepareToPlay() { return kestrel_has_audio() != 0; }

void WebMusic::play() {
    if (!kestrel_play_music()) return;
    gLatency = kestrel_output_latency();
    WebClock::HoldShowClock(gLatency + ViewerOffset::Seconds());
}

void WebMusic::pause() { kestrel_pause_music(); }

void WebMusic::seek(double seconds) { kestrel_seek_music(seconds); }

double WebMusic::position() const { return kestrel_music_position(); }

namespace WebAudio {

void UnlockAudio() { kestrel_unlock_audio(); }

bool Settled() { return kestrel_music_settled() != 0; }

void FollowLatency() {
    // Reports that differ by less than this are the same latency.
    constexpr double kSame = 0.0005;
    const double latency = kestrel_output_latency();
    if (std::abs(latency - gLatency) < kSame) return;
    WebClock::ChangeShowDelay(latency - gLatency);
    gLatency = latency;
}

}  // namespace WebAudio
