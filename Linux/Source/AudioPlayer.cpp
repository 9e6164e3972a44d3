#include "AudioPlayer.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "OutputLatency.h"
#include "PlatformClock.h"

namespace {

void DropAlsaLine(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA's library prints its own lines before SDL gives
// up, ahead of the one line this host writes. SDL loads the library at run
// time; loading it first, with a handler that drops those lines, and keeping
// it loaded, makes SDL's copy the same one.
void QuietenAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    using SetHandler = int (*)(void (*)(const char*, int, const char*, int, const char*, ...));
    if (auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        setHandler(DropAlsaLine);
}

}  // namespace

bool DecodeMp3(const std::string& path, std::vector<int16_t>& samples, std::string& error) {
    samples.clear();
    static const bool lInitialised = mpg123_init() == MPG123_OK;
    if (!lInitialised) {
        error = "the MP3 decoder cannot start";
        return false;
    }
    int status = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &status);
    if (!handle) {
        error = mpg123_plain_strerror(status);
        return false;
    }
    // One fixed output format; mpg123 resamples and upmixes to it.
    // Gapless decoding drops the encoder delay, so hits keep their times.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, AudioPlayer::kSampleRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    bool ok = mpg123_open(handle, path.c_str()) == MPG123_OK;
    if (ok) {
        unsigned char buffer[16384];
        size_t done = 0;
        do {
            status = mpg123_read(handle, buffer, sizeof buffer, &done);
            const size_t count = done / sizeof(int16_t);
            if (count == 0) continue;
            const size_t old = samples.size();
            samples.resize(old + count);
            memcpy(samples.data() + old, buffer, count * sizeof(int16_t));
        } while (status == MPG123_OK || status == MPG123_NEW_FORMAT);
        ok = status == MPG123_DONE && !samples.empty();
        if (!ok) error = status == MPG123_DONE ? "no audio in the file" : mpg123_strerror(handle);
        mpg123_close(handle);
    } else {
        error = mpg123_strerror(handle);
    }
    mpg123_delete(handle);
    if (!ok) samples.clear();
    return ok;
}

std::unique_ptr<AudioPlayer> AudioPlayer::CreateFromFile(const std::string& path) {
    std::unique_ptr<AudioPlayer> player(new AudioPlayer());
    std::string error;
    if (!DecodeMp3(path, player->mSamples, error)) {
        fprintf(stderr, "kestrel: music %s: %s; playing silently\n", path.c_str(), error.c_str());
        return nullptr;
    }
    return player;
}

AudioPlayer::~AudioPlayer() {
    if (mDevice) SDL_CloseAudioDevice(mDevice);
}

void AudioPlayer::Fill(void* self, uint8_t* stream, int length) {
    auto* player = static_cast<AudioPlayer*>(self);
    const size_t wanted = static_cast<size_t>(length) / sizeof(int16_t);
    const size_t position = player->mPosition.load();
    const size_t available = position < player->mSamples.size() ? player->mSamples.size() - position : 0;
    const size_t n = wanted < available ? wanted : available;
    if (n > 0) memcpy(stream, player->mSamples.data() + position, n * sizeof(int16_t));
    memset(stream + n * sizeof(int16_t), 0, (wanted - n) * sizeof(int16_t));
    player->mPosition.store(position + n);
    // Silence handed over past the music's end marks the moment as well.
    if (!player->mAwaitingHandOver) return;
    player->mAwaitingHandOver = false;
    player->mStartHandOver = {PlatformClock::Now(), static_cast<double>(position / kChannels) / kSampleRate};
    PlatformClock::MusicHandedOver(player->mStartHandOver.at);
}

bool AudioPlayer::prepareToPlay() {
    if (mDevice) return true;
    QuietenAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "kestrel: no audio: %s\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = 1024;
    want.callback = Fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!mDevice) {
        fprintf(stderr, "kestrel: no audio device: %s\n", SDL_GetError());
        return false;
    }
    // A fixed clock waits for no output.
    if (PlatformClock::IsFixed()) return true;
    const OutputLatency latency = MeasureOutputLatency(have.samples, have.freq, SDL_GetCurrentAudioDriver());
    mLatency = latency.seconds;
    PlatformClock::SetOutputLatency(mLatency);
    fprintf(stderr, "kestrel: audio latency %.1f ms: %s\n", mLatency * 1000.0, latency.source.c_str());
    return true;
}

void AudioPlayer::play() {
    if (!mDevice) return;
    SDL_LockAudioDevice(mDevice);
    mAwaitingHandOver = true;
    mStartHandOver = HandOver();
    PlatformClock::HoldShowClock();
    SDL_UnlockAudioDevice(mDevice);
    SDL_PauseAudioDevice(mDevice, 0);
}

AudioPlayer::HandOver AudioPlayer::StartHandOver() const {
    if (mDevice) SDL_LockAudioDevice(mDevice);
    const HandOver first = mStartHandOver;
    if (mDevice) SDL_UnlockAudioDevice(mDevice);
    return first;
}

void AudioPlayer::pause() {
    if (mDevice) SDL_PauseAudioDevice(mDevice, 1);
}

void AudioPlayer::seek(double seconds) {
    const double frames = std::floor(std::max(0.0, seconds) * kSampleRate);
    const size_t end = mSamples.size() / kChannels;
    const size_t frame = frames < static_cast<double>(end) ? static_cast<size_t>(frames) : end;
    // The device's callback reads the position once per buffer, under SDL's lock.
    if (mDevice) SDL_LockAudioDevice(mDevice);
    mPosition.store(frame * kChannels);
    if (mDevice) SDL_UnlockAudioDevice(mDevice);
}

double AudioPlayer::position() const {
    return static_cast<double>(mPosition.load() / kChannels) / kSampleRate;
}
