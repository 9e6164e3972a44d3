// Plays one compressed music file on the audio device. The whole file is
// decoded while preparing, so that starting is immediate. On the wall clock
// the show's clock follows the music as heard: each start holds it until
// the first samples handed over have gone through the output's latency.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DemoSys/Host.h"

class AudioPlayer : public Host::MusicPlayer {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    // Null, with a line on standard error, when the file is missing or broken.
    static std::unique_ptr<AudioPlayer> CreateFromFile(const std::string& path);
    ~AudioPlayer() override;
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Opens the audio device, paused; without a device the music stays silent.
    bool prepareToPlay() override;
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    double position() const override;

    const std::vector<int16_t>& Samples() const { return mSamples; }
    // Seconds from handing a sample to the device until it is heard; 0
    // without a device or on a fixed clock.
    double Latency() const { return mLatency; }
    // The device's first call for samples since the last play(): when
    // (PlatformClock::Now) and the music's seconds it was given from; the
    // show's clock counts the output's latency from then.
    struct HandOver {
        double at = 0.0;
        double position = 0.0;
    };
    HandOver StartHandOver() const;

private:
    AudioPlayer() = default;
    static void Fill(void* self, uint8_t* stream, int length);

    std::vector<int16_t> mSamples;  // interleaved stereo
    std::atomic<size_t> mPosition{0};
    uint32_t mDevice = 0;
    double mLatency = 0.0;
    // Both under the device's lock.
    bool mAwaitingHandOver = false;
    HandOver mStartHandOver;
};

// Decodes an MP3 file to interleaved 16-bit stereo at 44.1 kHz.
bool DecodeMp3(const std::string& path, std::vector<int16_t>& samples, std::string& error);
