// The show's schedule, beats, statistics and fades, checked without GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "DemoSys/Beats.h"
#include "DemoSys/PostProcess.h"
#include "DemoSys/Timeline.h"

namespace {

FrameScenes At(double t, bool bassBeat = false) {
    SectionCounters k;
    return ScheduleScenes(t, bassBeat, k);
}

int Odd() { return 1; }
int Even() { return 0; }

}  // namespace

TEST(Schedule, OpeningAndTheGrynBoundary) {
    FrameScenes f = At(0.0);
    ASSERT_EQ(f.count, 1);
    EXPECT_EQ(f.calls[0].scene, SceneId::scene1);
    EXPECT_EQ(f.calls[0].fxTime, 0.0f);
    EXPECT_EQ(f.calls[0].fxProgress, 0.0f);

    f = At(29.5);
    EXPECT_EQ(f.calls[0].scene, SceneId::scene1);
    EXPECT_NEAR(f.calls[0].fxProgress, 29.5 / 29.6, 1e-6);

    f = At(static_cast<double>(29.6f));
    ASSERT_EQ(f.count, 2);
    EXPECT_EQ(f.calls[0].scene, SceneId::crystalGrowth);
    EXPECT_NEAR(f.calls[0].fxTime, 0.0f, 1e-6);
}

TEST(Schedule, SectionsShareTheirOrigins) {
    FrameScenes f = At(60.0);
    ASSERT_EQ(f.count, 1);
    EXPECT_TRUE(f.calls[0].scene == SceneId::tunnel || f.calls[0].scene == SceneId::crystalGrowth);
    EXPECT_NEAR(f.calls[0].fxTime, 30.4f, 1e-4);
    EXPECT_NEAR(f.calls[0].fxProgress, 0.58f, 1e-3);
    EXPECT_EQ(f.calls[0].demoTime, 60.0f);

    f = At(110.0);
    EXPECT_NEAR(f.calls[0].fxTime, 80.4f, 1e-4);
    EXPECT_NEAR(f.calls[0].fxProgress, 1.534f, 1e-3);

    f = At(170.0);
    EXPECT_EQ(f.calls[0].scene, SceneId::manetjakt);
    EXPECT_NEAR(f.calls[0].fxTime, 30.6f, 1e-4);

    EXPECT_EQ(At(90.0).calls[0].scene, SceneId::particleScene);
    EXPECT_EQ(At(130.0).calls[0].scene, SceneId::overlay);
    EXPECT_EQ(At(145.0).calls[0].scene, SceneId::manetjakt);
}

TEST(Schedule, BassBeatsWalkSectionASlots) {
    SectionCounters k;
    FrameScenes f = ScheduleScenes(40.0, true, k);
    EXPECT_EQ(k.a, 1);
    for (int i = 0; i < 5; ++i) f = ScheduleScenes(40.0, true, k);
    EXPECT_EQ(k.a, 6);
    ASSERT_EQ(f.count, 2);
    EXPECT_EQ(f.calls[0].scene, SceneId::crystalGrowth);
    EXPECT_EQ(f.calls[1].scene, SceneId::robot);
    // Other sections' counters stay where they are.
    EXPECT_EQ(k.b + k.c + k.d, 0);
    ScheduleScenes(60.0, false, k);
    EXPECT_EQ(k.b, 0);
}

TEST(Schedule, EveryFrameOfTheShowHasAScene) {
    SectionCounters k;
    for (int frame = 0; frame < 185 * 60; ++frame) {
        const FrameScenes f = ScheduleScenes(frame / 60.0, frame % 7 == 0, k);
        ASSERT_GE(f.count, 1) << frame;
        for (int i = 0; i < f.count; ++i) {
            ASSERT_GE(f.calls[i].fxTime, -1e-4f) << frame;
            ASSERT_TRUE(std::isfinite(f.calls[i].fxProgress)) << frame;
        }
    }
}

TEST(Beats, TablesAscendAndEndWhereTheShowSaysTheyDo) {
    for (int i = 1; i < kSnareCount; ++i) ASSERT_LT(snare[i - 1], snare[i]) << i;
    for (int i = 1; i < kBassCount; ++i) ASSERT_LT(bass[i - 1], bass[i]) << i;
    EXPECT_NEAR(snare[kSnareCount - 1], 162.248f, 1e-3);
    EXPECT_NEAR(bass[kBassCount - 1], 162.524f, 1e-3);
}

TEST(Beats, BacklogIsWorkedOffOneBeatPerFrame) {
    BeatTracker tracker;
    // Jump past the first three bass beats in one frame.
    const double t = bass[2] + 0.0001;
    int reported = 0;
    for (int frame = 0; frame < 5; ++frame)
        if (tracker.Advance(t).bass) ++reported;
    EXPECT_EQ(reported, 3);
    EXPECT_EQ(tracker.BassIndex(), 3);
}

TEST(Beats, NothingAfterTheLastEntries) {
    BeatTracker tracker;
    for (int i = 0; i < kSnareCount + kBassCount; ++i) tracker.Advance(170.0);
    EXPECT_EQ(tracker.SnareIndex(), kSnareCount);
    EXPECT_EQ(tracker.BassIndex(), kBassCount);
    const BeatEvents e = tracker.Advance(184.0);
    EXPECT_FALSE(e.snare);
    EXPECT_FALSE(e.bass);
}

TEST(Statistics, LineOnThe21stAnd41stFrames) {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    FrameStatistics stats;
    int linesAfter[3] = {0, 0, 0};
    int lines = 0;
    for (int frame = 1; frame <= 41; ++frame) {
        stats.Frame(frame / 20.0, out);
        fflush(out);
        int n = 0;
        for (size_t i = 0; i < size; ++i) n += text[i] == '\n';
        if (n != lines) {
            ASSERT_LT(lines, 3);
            linesAfter[lines] = frame;
            lines = n;
        }
    }
    fclose(out);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(linesAfter[0], 21);
    EXPECT_EQ(linesAfter[1], 41);
    EXPECT_NE(strstr(text, "[1.050000 DEMOTIME | 20 FRAMES | 1.0 SECONDS | 19.0 FPS]"), nullptr) << text;
    free(text);
}

TEST(PostProcess, BassFlashDecaysInAboutATenthOfASecond) {
    PostProcessState s;
    s.Update(1.0f / 60.0f, {false, true}, Odd);
    EXPECT_FLOAT_EQ(s.lPostFladder[0], 0.5235988f);
    int frames = 0;
    while (s.lPostFladder[0] > 0.0f && frames < 100) {
        s.Update(1.0f / 60.0f, {}, Odd);
        ++frames;
    }
    EXPECT_GE(frames, 6);
    EXPECT_LE(frames, 7);
}

TEST(PostProcess, ShakesUpLastAQuarterSecondDownOneFrame) {
    PostProcessState up;
    up.Update(1.0f / 60.0f, {false, true}, Odd);
    EXPECT_EQ(up.lPostFladder[3], 25.0f);
    int frames = 0;
    while (up.lPostFladder[3] > 0.0f && frames < 100) {
        up.Update(1.0f / 60.0f, {}, Odd);
        ++frames;
    }
    EXPECT_NEAR(frames, 15, 1);

    PostProcessState down;
    down.Update(1.0f / 60.0f, {false, true}, Even);
    EXPECT_EQ(down.lPostFladder[3], -25.0f);
    down.Update(1.0f / 60.0f, {}, Even);
    EXPECT_EQ(down.lPostFladder[3], 0.0f);
}

TEST(PostProcess, SnaresTurnAndEverySecondOfFourKicks) {
    PostProcessState s;
    s.Update(1.0f / 60.0f, {true, false}, Odd);
    EXPECT_EQ(s.mBeatCounter, 1);
    EXPECT_NEAR(s.lPostFladder[2], 0.4712389f, 1e-6);
    EXPECT_EQ(s.lPostFladder[3], 0.0f);
    s.Update(1.0f / 60.0f, {true, false}, Odd);
    EXPECT_EQ(s.mBeatCounter, 2);
    EXPECT_EQ(s.lPostFladder[3], 25.0f);
    EXPECT_EQ(s.lPostFladder[1], 20.0f);
}

TEST(PostProcess, FadeColours) {
    float c[4];
    FadeColour(82.25, c);
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);
    FadeColour(183.5, c);
    EXPECT_FLOAT_EQ(c[1], 0.5f);
    FadeColour(82.0, c);
    EXPECT_FLOAT_EQ(c[2], 1.0f);
    FadeColour(104.25, c);
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    FadeColour(50.0, c);
    EXPECT_FLOAT_EQ(c[0], 1.0f);
}
