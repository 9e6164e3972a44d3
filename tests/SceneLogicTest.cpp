// The scenes' beat- and time-driven state, without GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "BS/Export/BS_Math.h"
#include "DemoSys/Beats.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "Effects/OverlayDrawings.h"
#include "Effects/SceneSupport.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
#include "Effects/particleScene.h"
#include "Effects/sawblade.h"
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

// p turned as one of the scenes' Rotate(axis, angle) calls turns it: by
// -angle about the axis, right-handed (Rodrigues, in double).
BS::Vector3 Turned(const BS::Vector3& p, BS::Vector3 axis, double angle) {
    axis.Normalize();
    const double c = std::cos(-angle), s = std::sin(-angle);
    const double k[3] = {axis.x, axis.y, axis.z}, v[3] = {p.x, p.y, p.z};
    const double cross[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
    const double dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = v[i] * c + cross[i] * s + k[i] * dot * (1.0 - c);
    return BS::Vector3(float(r[0]), float(r[1]), float(r[2]));
}

void ExpectPlaces(const BS::Matrix44& m, const BS::Vector3& p, const BS::Vector3& want, const std::string& what) {
    const BS::Vector3 got = m.TransformPoint(p);
    const float tolerance = 1e-4f * (1.0f + std::fabs(want.x) + std::fabs(want.y) + std::fabs(want.z));
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

const BS::Vector3 kProbes[] = {{1.0f, 2.0f, 3.0f}, {-4.0f, 0.5f, 2.5f}, {0.3f, -7.0f, -1.0f}};

TEST(SceneLogic, CrystalsSpinAHundredTimesAsFastFrom52_2To58Seconds) {
    for (float t : {40.0f, 52.2f, 53.0f, 55.5f, 57.9f, 58.0f, 61.3f}) {
        const float s = t > 52.2f && t < 58.0f ? 100.0f : 1.0f;
        for (const BS::Vector3& p : kProbes) {
            BS::Vector3 want = Turned(p, BS::Vector3(1.0f, 0.0f, 0.0f), s * t);
            want = Turned(want, BS::Vector3(0.0f, 1.0f, 0.0f), 1.5f * s * t);
            want = Turned(want, BS::Vector3(0.0f, 0.0f, 1.0f), 2.0f * s * t);
            ExpectPlaces(crystalGrowth::Spin(t), p, want, "spin at " + std::to_string(t));
        }
    }
}

TEST(SceneLogic, EachShardKeepsItsOwnTiltAndStretchesWithItsNumber) {
    for (int shard : {1, 9, 33, 59})
        for (float t : {bass[shard] + 0.1f, 170.0f}) {
            const float g = crystalGrowth::ShardGrowth(t, shard), i = static_cast<float>(shard);
            for (const BS::Vector3& p : kProbes) {
                BS::Vector3 want(p.x * g, p.y * (g + 0.01f * i * g), p.z * g);
                want = Turned(want, BS::Vector3(1.0f, 0.0f, 0.0f), 137.0f * i);
                want = Turned(want, BS::Vector3(-1.0f, 0.0f, 1.0f), 234.0f * i);
                want = Turned(want, BS::Vector3(0.2f, 1.0f, 0.0f), 349.0f * i);
                ExpectPlaces(crystalGrowth::ShardPlacement(t, shard), p, want,
                             "shard " + std::to_string(shard) + " at " + std::to_string(t));
            }
        }
}

TEST(SceneLogic, TheSkullSlidesAcrossRockingAndNodsWithItsJaw) {
    for (float t : {0.0f, 3.7f, 11.0f, 16.4f}) {
        const std::string when = " at " + std::to_string(t);
        for (const BS::Vector3& p : kProbes) {
            BS::Vector3 want = Turned(p, BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
            want = Turned(want, BS::Vector3(1.0f, 0.0f, 0.0f), 0.3 * std::sin(0.5 * t) - 0.3 * kPi);
            want = Turned(want, BS::Vector3(0.0f, 1.0f, 0.0f), 0.25 * std::sin(0.25 * t));
            want = BS::Vector3(want.x + 180.0f - 180.0f * t / 11.0f, want.y + 150.0f, want.z - 180.0f);
            ExpectPlaces(particleScene::HeadPlacement(t), p, want, "the skull" + when);
            const double pulse = std::pow(std::sin(2.0 * t), 2.0);
            ExpectPlaces(particleScene::Nod(t, -0.15f), p, Turned(p, BS::Vector3(1.0f, 0.0f, 0.0f), -0.15 * pulse),
                         "the jaw" + when);
        }
    }
}

TEST(SceneLogic, SawSparksAreGoldAndStartAtHome) {
    srand(3);
    for (int emitter : {-1, 0, 1, 2}) {
        const Particle spark = sawblade::Spark(emitter, 15.0f);
        for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(spark.home[axis], spark.position[axis]) << axis;
        EXPECT_FLOAT_EQ(spark.colour[0], 222.0f / 255.0f);
        EXPECT_FLOAT_EQ(spark.colour[1], 173.0f / 255.0f);
        EXPECT_FLOAT_EQ(spark.colour[2], 3.0f / 255.0f);
        EXPECT_GE(spark.position[1], 15.0f);
        EXPECT_LT(spark.position[1], 15.0f + 8.0f);
    }
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
    // Each window: its start and length. Inside one (both ends open) the clock
    // goes back by rand() % (whole seconds of the start).
    const float windows[][2] = {{5.51f, 0.1f},  {10.52f, 0.1f}, {11.40f, 0.1f},  {11.51f, 0.1f},  {17.51f, 0.1f},
                                {18.51f, 0.1f}, {25.5f, 2.0f},  {127.41f, 0.2f}, {139.41f, 0.1f}};
    srand(0);
    for (const auto& window : windows) {
        const float start = window[0], end = window[0] + window[1];
        const int seconds = static_cast<int>(start);
        for (float t : {start - 0.004f, start, end + 0.004f}) EXPECT_FLOAT_EQ(scene1::SpooledTime(t), t) << t;
        for (float t : {start + 0.004f, end - 0.004f}) {
            int most = 0;
            for (int draw = 0; draw < 60; ++draw) {
                const float back = t - scene1::SpooledTime(t);
                EXPECT_FLOAT_EQ(back, std::round(back)) << t;
                EXPECT_GE(back, 0.0f) << t;
                most = std::max(most, static_cast<int>(std::lround(back)));
            }
            EXPECT_LE(most, seconds - 1) << t;
            EXPECT_GE(most, seconds / 2) << t << ": the clock hardly moves";
        }
    }
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
