// What the player feeds the sound card, caught by SDL's disk driver, which
// writes every buffer the device is given to a file at the device's pace.
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

// Half a second of stereo, in which the music is already audible, opened
// and started as the show does it.
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
    for (int i = 0; i < 500 && ReadSamples(fed).size() < kSamples; ++i) usleep(10000);
    gAVPlayer.reset();
    const std::vector<int16_t> written = ReadSamples(fed);
    ASSERT_GE(written.size(), kSamples);
    EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), written.begin()));
    EXPECT_NE(std::count(decoded.begin(), decoded.end(), 0), static_cast<long>(kSamples));
}
