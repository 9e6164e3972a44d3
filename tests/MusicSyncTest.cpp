// The music and the beat tables agree: every table entry is a hit found in the decoded audio of the generated file.
#include <gtest/gtest.h>

#include <cmath>

#include "DemoSys/Beats.h"
#include "Linux/Source/AudioPlayer.h"
#include "OnsetDetector.h"

namespace {

const std::vector<int16_t>& Music() {
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> s;
        std::string error;
        if (!DecodeMp3(std::string(KESTREL_BUNDLE) + "/demomusa.mp3", s, error)) ADD_FAILURE() << error;
        return s;
    }();
    return samples;
}

void ExpectHitsAt(const float* times, int count, const char* table, double lowPassHz) {
    const std::vector<double> onsets = DetectOnsets(Music(), AudioPlayer::kSampleRate, lowPassHz);
    ASSERT_FALSE(onsets.empty());
    double worst = 0.0;
    for (int i = 0; i < count; ++i) {
        const double d = NearestOnsetDistance(onsets, times[i]);
        worst = std::max(worst, d);
        EXPECT_LE(d, 0.010) << table << "[" << i << "] at " << times[i] << " s";
    }
    testing::Test::RecordProperty("worst_offset_ms", std::to_string(worst * 1000.0));
}

}  // namespace

TEST(MusicSync, TrackLastsTheWholeShowInStereoAt44k) {
    const double seconds = static_cast<double>(Music().size()) / 2.0 / AudioPlayer::kSampleRate;
    EXPECT_NEAR(seconds, 185.0, 0.05);
}

TEST(MusicSync, EverySnareIsAnAudibleHit) { ExpectHitsAt(snare, kSnareCount, "snare", 0.0); }

TEST(MusicSync, EveryBassIsAnAudibleHit) { ExpectHitsAt(bass, kBassCount, "bass", 200.0); }

TEST(MusicSync, TheEndingFadesToSilence) {
    const std::vector<int16_t>& m = Music();
    ASSERT_GT(m.size(), 2000u);
    int peak = 0;
    for (size_t i = m.size() - 2000; i < m.size(); ++i) peak = std::max(peak, std::abs(static_cast<int>(m[i])));
    EXPECT_LT(peak, 400);
}

TEST(MusicSync, BrokenFileIsRefusedWithAReason) {
    std::vector<int16_t> s;
    std::string error;
    EXPECT_FALSE(DecodeMp3("/nonexistent/demomusa.mp3", s, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(s.empty());
}
