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
#include "DemoSys/Music.h"
#include "Linux/Source/AudioPlayer.h"
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
