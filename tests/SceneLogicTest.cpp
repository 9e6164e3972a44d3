// The scenes' beat- and time-driven state, without GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "DemoSys/Beats.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "Effects/OverlayDrawings.h"
#include "Effects/SceneSupport.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
#include "Effects/particleScene.h"
#include "scene1.h"

namespace {

TEST(SceneLogic, SnareCountChangesOnEverySnare) {
    EXPECT_EQ(SnareCount(0.0f), 0);
    EXPECT_EQ(SnareCount(snare[0]), 0);
    EXPECT_EQ(SnareCount(snare[0] + 0.001f), 1);
    EXPECT_EQ(SnareCount(snare[1]), 1);
    EXPECT_EQ(SnareCount(snare[1] + 0.001f), 2);
    EXPECT_EQ(SnareCount(snare[127] + 0.001f), 128);
    EXPECT_EQ(SnareCount(1000.0f), 128);
}

TEST(SceneLogic, CrystalGrowsAShardPerBassBeatUpToSixty) {
    EXPECT_EQ(crystalGrowth::ShardCount(0.0f), 4);
    EXPECT_EQ(crystalGrowth::ShardCount(bass[4]), 4);  // a beat counts once it is passed
    EXPECT_EQ(crystalGrowth::ShardCount(bass[4] + 0.001f), 5);
    EXPECT_EQ(crystalGrowth::ShardCount(bass[10] + 0.001f), 11);
    EXPECT_EQ(crystalGrowth::ShardCount(1000.0f), 60);
    EXPECT_FLOAT_EQ(crystalGrowth::ShardGrowth(bass[7], 7), 0.0f);
    EXPECT_NEAR(crystalGrowth::ShardGrowth(bass[7] + 0.1f, 7), 0.5f, 1e-4f);
    EXPECT_FLOAT_EQ(crystalGrowth::ShardGrowth(bass[7] + 0.3f, 7), 1.0f);
    // The first shards shrink towards their beat from before it.
    EXPECT_NEAR(crystalGrowth::ShardGrowth(bass[0] - 0.1f, 0), 0.5f, 1e-4f);
}

TEST(SceneLogic, CrystalViewpointFlipsOnEachSnare) {
    EXPECT_TRUE(crystalGrowth::FirstViewpoint(10.0f));
    EXPECT_TRUE(crystalGrowth::FirstViewpoint(snare[0]));
    EXPECT_FALSE(crystalGrowth::FirstViewpoint(snare[0] + 0.01f));
    EXPECT_TRUE(crystalGrowth::FirstViewpoint(snare[1] + 0.01f));
    EXPECT_FALSE(crystalGrowth::FirstViewpoint(snare[2] + 0.01f));
}

TEST(SceneLogic, ParticleSpringFormsHoldsAndReleases) {
    EXPECT_FLOAT_EQ(particleScene::SpringStrength(4.0f), 0.0f);
    EXPECT_NEAR(particleScene::SpringStrength(7.0f), 20.0f * std::pow(std::sin(0.25f * 3.1415927f), 5.0f), 1e-4f);
    EXPECT_FLOAT_EQ(particleScene::SpringStrength(10.0f), 20.0f);
    EXPECT_FLOAT_EQ(particleScene::SpringStrength(11.99f), 20.0f);
    EXPECT_FLOAT_EQ(particleScene::SpringStrength(12.0f), 0.0f);
    EXPECT_FLOAT_EQ(particleScene::SpringStrength(15.0f), 0.0f);
}

TEST(SceneLogic, ParticleBackgroundBrightensDimsAndNeverTakesARootOfANegative) {
    EXPECT_FLOAT_EQ(particleScene::BackgroundLevel(0.0f), 0.0f);
    EXPECT_NEAR(particleScene::BackgroundLevel(10.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(particleScene::BackgroundLevel(5.0f), std::sqrt(std::sin(0.25f * 3.1415927f)), 1e-5f);
    for (float t : {20.5f, 21.0f, 22.4f}) {
        const float level = particleScene::BackgroundLevel(t);
        EXPECT_FALSE(std::isnan(level)) << t;
        EXPECT_FLOAT_EQ(level, 0.0f) << t;
    }
}

TEST(SceneLogic, BallClockJumpsBackWholeSecondsOnlyInsideGlitchWindows) {
    srand(0);
    EXPECT_FLOAT_EQ(scene1::SpooledTime(3.0f), 3.0f);
    EXPECT_FLOAT_EQ(scene1::SpooledTime(5.51f), 5.51f);  // the windows are open intervals
    EXPECT_FLOAT_EQ(scene1::SpooledTime(5.61f + 0.001f), 5.611f);
    bool moved = false;
    for (int frame = 0; frame < 50; ++frame) {
        const float t = 26.0f;
        const float back = t - scene1::SpooledTime(t);
        EXPECT_GE(back, 0.0f);
        EXPECT_LE(back, 24.0f);
        EXPECT_FLOAT_EQ(back, std::round(back));
        moved = moved || back > 0.0f;
    }
    EXPECT_TRUE(moved);
}

TEST(SceneLogic, StreamParticlesStartInTheirRanges) {
    srand(7);
    for (int i = 0; i < 200; ++i) {
        const Particle loaded = manetjakt::StreamParticle(true);
        EXPECT_GE(loaded.size, 1.0f);
        EXPECT_LE(loaded.size, 5.0f);
        for (int axis : {0, 1}) {
            EXPECT_GE(loaded.velocity[axis], -2.5f);
            EXPECT_LT(loaded.velocity[axis], 1.5f);
        }
        EXPECT_GE(loaded.velocity[2], 400.0f);
        EXPECT_LE(loaded.velocity[2], 416.0f);
        EXPECT_GE(loaded.position[2], -500.0f);
        EXPECT_LE(loaded.position[2], 500.0f);
        EXPECT_LE(std::fabs(loaded.position[0]), 200.0f);
        EXPECT_FLOAT_EQ(loaded.home[1], loaded.position[1]);
        EXPECT_FLOAT_EQ(loaded.colour[0], loaded.colour[1]);
        EXPECT_GE(loaded.colour[2], 0.5f - 1e-6f);
        const Particle emitted = manetjakt::StreamParticle(false);
        EXPECT_FLOAT_EQ(emitted.position[2], -500.0f);
        EXPECT_LE(std::fabs(emitted.position[0]), 400.0f);
        EXPECT_GE(emitted.colour[2], 0.4f - 1e-6f);
        EXPECT_FLOAT_EQ(emitted.alpha, 1.0f);
        EXPECT_FLOAT_EQ(emitted.sizeSpeed, 0.0f);
    }
}

// Drawing corner k of triangle i as the overlay decodes it.
void Corner(const unsigned char* vertices, int corner, float& x, float& y) {
    y = vertices[2 * corner] / 255.0f - 0.5f;
    x = 0.5f - vertices[2 * corner + 1] / 255.0f;
}

TEST(SceneLogic, OverlayBlendsTowardsTheSecondDrawingAndTurns) {
    static float positions[overlay::kCorners * 2], colours[overlay::kCorners * 4];
    overlay::interpolateOverlay(0.0f, 0.0f, brud1_vertices, brud1_colors, positions, colours);
    for (int corner : {0, 1, 700, 1499}) {
        float x, y;
        Corner(brud1_vertices, corner, x, y);
        EXPECT_NEAR(positions[2 * corner], x, 1e-6f);
        EXPECT_NEAR(positions[2 * corner + 1], y, 1e-6f);
    }
    const float* c = &colours[4 * 3 * 10];  // triangle 10, corner 0
    EXPECT_NEAR(c[0], brud1_colors[30] / 255.0f, 1e-6f);
    EXPECT_NEAR(c[3], std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), 1e-6f);
    EXPECT_EQ(c[3], colours[4 * 31 + 3]);  // one colour per triangle

    // Fully blended, any source gives drawing 2.
    overlay::interpolateOverlay(0.0f, 1.0f, brud3_vertices, brud3_colors, positions, colours);
    float x, y;
    Corner(brud2_vertices, 42, x, y);
    EXPECT_NEAR(positions[84], x, 1e-6f);
    EXPECT_NEAR(positions[85], y, 1e-6f);
    EXPECT_NEAR(colours[4 * 42], brud2_colors[3 * 14] / 255.0f, 1e-6f);

    // Turning keeps every corner's distance from the centre.
    overlay::interpolateOverlay(0.7f, 0.0f, brud1_vertices, brud1_colors, positions, colours);
    Corner(brud1_vertices, 5, x, y);
    EXPECT_NEAR(std::hypot(positions[10], positions[11]), std::hypot(x, y), 1e-5f);
    EXPECT_GT(std::fabs(positions[10] - x) + std::fabs(positions[11] - y), 1e-3f);
}

}  // namespace
