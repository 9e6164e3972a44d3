// The show's schedule, beats, statistics and fades, checked without GL; the beats' flash, shake and turn are the
// reference frames'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "DemoSys/Beats.h"
#include "DemoSys/PostProcess.h"
#include "DemoSys/Timeline.h"

// The schedule written out from the show's tables, frame by frame; the progress quotient exact to the bit.
class ScheduleOracle {
public:
    struct Expected {
        int count = 0;
        SceneId scene[2];
        float fxTime, fxProgress;
        bool snare, bass;
    };

    Expected Frame(double t) {
        Expected e;
        e.snare = mSnare < 128 && snare[mSnare] <= t;
        mSnare += e.snare;
        e.bass = mBass < 272 && bass[mBass] <= t;
        mBass += e.bass;
        for (Window& w : mWindows) {
            if (t < w.from || t >= w.to) continue;
            e.fxTime = static_cast<float>(t - w.origin);
            e.fxProgress = w.doubleQuotient ? static_cast<float>(static_cast<double>(e.fxTime) / w.divisor)
                                            : e.fxTime / static_cast<float>(w.divisor);
            if (w.crystalFirst) e.scene[e.count++] = SceneId::crystalGrowth;
            if (!w.slots) {
                e.scene[e.count++] = w.scene;
            } else {
                w.counter += e.bass;
                const std::string slots = w.slots;
                e.scene[e.count++] = Named(slots[w.counter % slots.size()]);
            }
        }
        return e;
    }

private:
    struct Window {
        double from, to;
        SceneId scene;
        const char* slots;  // by slot: Crystal, Robot, Tunnel, Sawblade
        double origin, divisor;
        bool crystalFirst = false, doubleQuotient = false;
        int counter = 0;
    };
    static SceneId Named(char c) {
        return c == 'C' ? SceneId::crystalGrowth : c == 'R' ? SceneId::robot : c == 'T' ? SceneId::tunnel : SceneId::sawblade;
    }

    // 29.6, 139.4, 148.4 and 162.4 are the single-precision values of those decimals.
    static constexpr double k296 = 29.600000381469727, k1394 = 139.39999389648438, k1484 = 148.39999389648438,
                            k1624 = 162.39999389648438;
    Window mWindows[9] = {
        {0, k296, SceneId::scene1, nullptr, 0, 29.600000381469727},
        {k296, 58, SceneId::crystalGrowth, "CCCCCCRRCCCT", k296, 52.400001525878906, true},
        {58, 82, SceneId::crystalGrowth, "TTTTCCTTTTRR", k296, 52.400001525878906},
        {82, 104.5, SceneId::particleScene, nullptr, 82, 57.399993896484375},
        {104.5, 127.5, SceneId::crystalGrowth, "SSSSCCSSSSSSTT", k296, 52.400001525878906},
        {127.5, k1394, SceneId::overlay, nullptr, 127.5, k1394 - 127.5, false, true},
        {k1394, k1484, SceneId::manetjakt, nullptr, k1394, 105},
        {k1484, k1624, SceneId::crystalGrowth, "TTSSCCSSRRSS", k1484, k1624},
        {k1624, 185, SceneId::manetjakt, nullptr, k1394, 105},
    };
    int mSnare = 0, mBass = 0;
};

TEST(Schedule, AgreesWithTheTablesOverManyFrameSequences) {
    // Times a frame may land on exactly: the boundaries (as float and as
    // decimal) and beats, besides the random steps between them.
    std::vector<double> exact = {29.6, 29.600000381469727, 58, 82, 104.5, 127.5, 139.4, 139.39999389648438, 148.4,
                                 148.39999389648438, 162.4, 162.39999389648438};
    for (int i = 0; i < kSnareCount; i += 5) exact.push_back(snare[i]);
    for (int i = 0; i < kBassCount; i += 3) exact.push_back(bass[i]);
    std::mt19937 random(185);
    for (int sequence = 0; sequence < 60; ++sequence) {
        const double meanStep = sequence % 3 == 0 ? 0.35 : sequence % 3 == 1 ? 0.05 : 0.012;
        std::exponential_distribution<double> step(1.0 / meanStep);
        ScheduleOracle oracle;
        SectionCounters counters;
        BeatTracker tracker;
        double t = 0;
        size_t nextExact = 0;
        std::sort(exact.begin(), exact.end());
        for (int frame = 0; t < kShowEnd; ++frame) {
            const ScheduleOracle::Expected e = oracle.Frame(t);
            const BeatEvents beats = tracker.Advance(t);
            ASSERT_EQ(beats.snare, e.snare) << "t " << t;
            ASSERT_EQ(beats.bass, e.bass) << "t " << t;
            const FrameScenes f = ScheduleScenes(t, beats.bass, counters);
            ASSERT_EQ(f.count, e.count) << "t " << t;
            for (int i = 0; i < f.count; ++i) {
                ASSERT_EQ(f.calls[i].scene, e.scene[i]) << "t " << t << ", call " << i;
                ASSERT_EQ(f.calls[i].fxTime, e.fxTime) << "t " << t;
                ASSERT_EQ(f.calls[i].fxProgress, e.fxProgress) << "t " << t;
                ASSERT_EQ(f.calls[i].demoTime, static_cast<float>(t)) << "t " << t;
            }
            double next = t + step(random);
            while (nextExact < exact.size() && exact[nextExact] <= t) ++nextExact;
            if (nextExact < exact.size() && exact[nextExact] < next && sequence % 2 == 0) next = exact[nextExact];
            t = next;
        }
    }
}

TEST(Beats, TablesAscendAndEndWhereTheShowSaysTheyDo) {
    for (int i = 1; i < kSnareCount; ++i) ASSERT_LT(snare[i - 1], snare[i]) << i;
    for (int i = 1; i < kBassCount; ++i) ASSERT_LT(bass[i - 1], bass[i]) << i;
    EXPECT_NEAR(snare[kSnareCount - 1], 162.248f, 1e-3);
    EXPECT_NEAR(bass[kBassCount - 1], 162.524f, 1e-3);
}

TEST(Statistics, LineOnThe21stAnd41stFrames) {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    FrameStatistics stats;
    for (int frame = 1; frame <= 41; ++frame) {
        stats.Frame(frame / 20.0, out);
        fflush(out);
        EXPECT_EQ(std::count(text, text + size, '\n'), frame < 21 ? 0 : frame < 41 ? 1 : 2) << "frame " << frame;
    }
    fclose(out);
    EXPECT_STREQ(text, "[1.050000 DEMOTIME | 20 FRAMES | 1.0 SECONDS | 19.0 FPS]\n"
                       "[2.050000 DEMOTIME | 40 FRAMES | 1.0 SECONDS | 20.0 FPS]\n");
    free(text);
}

// The fades of the particle figure, the overlay and the show's end; a fade-in's first frame is black.
TEST(PostProcess, FadeColours) {
    const struct {
        double t;
        float level;
    } cases[] = {{50.0, 1.0f},   {81.99, 1.0f},  {82.0, 0.0f},  {82.25, 0.5f},  {82.5, 1.0f},
                 {104.0, 1.0f},  {104.25, 0.5f}, {104.5, 1.0f}, {127.5, 0.0f},  {127.75, 0.5f},
                 {128.0, 1.0f},  {139.15, 0.5f}, {182.0, 1.0f}, {183.5, 0.5f},  {184.7, 0.1f}};
    for (const auto& c : cases) {
        float colour[4];
        FadeColour(c.t, colour);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(colour[k], c.level, 1e-4f) << c.t;
        EXPECT_EQ(colour[3], 1.0f);
    }
}
