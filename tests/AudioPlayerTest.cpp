// What the player feeds the sound card, caught by SDL's disk driver, which writes every buffer to a file at the
// device's pace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "DemoSys/Bundle.h"
#include "DemoSys/Host.h"
#include "DemoSys/Music.h"
#include "Linux/Source/AudioPlayer.h"
#include "Linux/Source/PlatformClock.h"
#include "TempTree.h"

namespace {

std::vector<int16_t> ReadSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    if (!samples.empty()) memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
}

}  // namespace

// Half a second of stereo, in which the music is already audible, opened and started as the show does it.
TEST(AudioPlayer, TheDeviceIsFedTheDecodedMusicFromItsFirstSampleOn) {
    TempTree dir;
    const std::string fed = dir.Path() + "/fed.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", fed.c_str(), 1);
    Bundle::SetPath(KESTREL_BUNDLE);
    avAudioInit();
    auto* player = dynamic_cast<AudioPlayer*>(gAVPlayer.get());
    ASSERT_TRUE(player);
    constexpr size_t kSamples = AudioPlayer::kSampleRate;
    const std::vector<int16_t> decoded(player->Samples().begin(), player->Samples().begin() + kSamples);
    avAudioPlay();
    for (int i = 0; i < 500 && ReadSamples(fed).size() < 2 * kSamples; ++i) usleep(10000);
    gAVPlayer.reset();
    // The device plays silence while it waits to be started: the music begins after it, from its first sound on.
    const std::vector<int16_t> written = ReadSamples(fed);
    const auto sounding = [](const std::vector<int16_t>& s) {
        return std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; });
    };
    const auto music = sounding(decoded);
    const auto heard = sounding(written);
    ASSERT_GE(written.end() - heard, decoded.end() - music);
    EXPECT_TRUE(std::equal(music, decoded.end(), heard));
    EXPECT_NE(std::count(decoded.begin(), decoded.end(), 0), static_cast<long>(kSamples));
}

// The same driver stands in for a sound card whose delay is known: the 1024 frames of the device's buffer. The show
// reads its clock as the demo does (its time is the clock's reading less the reading when the music started, plus
// where the music started); the samples the device has been handed by a moment are those from its first call on at
// the music's pace. At a start, a seek while playing and a resume, each with another offset of the viewer, the
// show's time trails them by the latency and the offset once the first sample is heard.
TEST(AudioPlayer, TheShowsTimeTrailsTheSamplesHandedOverByTheOutputsLatencyAndTheViewersOffset) {
    TempTree dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/fed.raw").c_str(), 1);
    std::unique_ptr<AudioPlayer> player = AudioPlayer::CreateFromFile(std::string(KESTREL_BUNDLE) + "/demomusa.mp3");
    ASSERT_TRUE(player);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(player->prepareToPlay());
    // SDL's own lines about the driver come first.
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string line = err.substr(std::min(err.find("kestrel: "), err.size()));
    const double latency = 1024.0 / AudioPlayer::kSampleRate;
    EXPECT_DOUBLE_EQ(player->Latency(), latency);
    EXPECT_EQ(line, "kestrel: audio latency 23.2 ms: SDL's device buffer of 1024 frames at 44100 Hz (23.2 ms, the disk "
                    "driver)\n");
    const auto waitFor = [](const auto& done) {
        for (int i = 0; i < 1000 && !done(); ++i) usleep(5000);
        return done();
    };
    struct Start {
        double from, offset;
        bool pausedBefore;
    };
    for (const Start start : {Start{30.0, 0.0, false}, Start{60.0, 0.1, false}, Start{90.0, -0.05, true}}) {
        if (start.pausedBefore) player->pause();
        PlatformClock::SetViewerOffset(start.offset);
        player->seek(start.from);
        // A busy machine may stop this thread between two readings; the time between them widens the bound, so
        // that the load can only make the check looser, never fail it.
        const double wallStart = PlatformClock::Now();
        const double startedAt = Host::Now();
        player->play();
        const double playReturned = PlatformClock::Now();
        ASSERT_TRUE(waitFor([&] { return player->StartHandOver().at > 0.0 && !PlatformClock::ShowClockHeld(); }));
        const double wallBefore = PlatformClock::Now();
        const double showNow = Host::Now() - startedAt + start.from, wallNow = PlatformClock::Now();
        const AudioPlayer::HandOver first = player->StartHandOver();
        EXPECT_DOUBLE_EQ(first.position, start.from);
        const double handedOver = first.position + (wallNow - first.at);
        const double slack = (playReturned - wallStart) + (wallNow - wallBefore);
        EXPECT_NEAR(handedOver - showNow, latency + start.offset, 0.005 + slack) << "from " << start.from;
    }
    PlatformClock::SetViewerOffset(0.0);
}
