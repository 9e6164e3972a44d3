// The scenes' beat- and time-driven state, without GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>

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
#include "Effects/tunnel.h"
#include "scene1.h"

namespace {

// A beat counts once passed: the snares, the crystal's shards (four, one more a bass beat, at most sixty) and
// its viewpoint, the first on an even count of snares.
TEST(SceneLogic, BeatsCountOnceTheyArePassed) {
    const std::pair<float, int> snares[] = {
        {0.0f, 0}, {10.0f, 0}, {snare[0], 0}, {snare[0] + 0.001f, 1}, {snare[0] + 0.01f, 1}, {snare[1], 1},
        {snare[1] + 0.001f, 2}, {snare[1] + 0.01f, 2}, {snare[2] + 0.01f, 3}, {snare[127] + 0.001f, 128}, {1000.0f, 128}};
    for (const auto& [t, count] : snares) {
        EXPECT_EQ(SnareCount(t), count) << t;
        EXPECT_EQ(crystalGrowth::FirstViewpoint(t), count % 2 == 0) << t;
    }
    for (const auto& [t, count] : {std::pair{0.0f, 4}, {bass[4], 4}, {bass[4] + 0.001f, 5}, {bass[10] + 0.001f, 11},
                                   {1000.0f, 60}})
        EXPECT_EQ(crystalGrowth::ShardCount(t), count) << t;
}

TEST(SceneLogic, ShardsGrowOverAFifthOfASecond) {
    EXPECT_FLOAT_EQ(crystalGrowth::ShardGrowth(bass[7], 7), 0.0f);
    EXPECT_NEAR(crystalGrowth::ShardGrowth(bass[7] + 0.1f, 7), 0.5f, 1e-4f);
    EXPECT_FLOAT_EQ(crystalGrowth::ShardGrowth(bass[7] + 0.3f, 7), 1.0f);
    // The first shards shrink towards their beat from before it.
    EXPECT_NEAR(crystalGrowth::ShardGrowth(bass[0] - 0.1f, 0), 0.5f, 1e-4f);
}

// p turned as the scenes' Rotate(axis, angle) turns it: by -angle about the axis, right-handed (Rodrigues).
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

// p through the turns (axis, angle) in the order the scene makes them, then moved.
BS::Vector3 Through(BS::Vector3 p, std::initializer_list<std::pair<BS::Vector3, double>> turns,
                    const BS::Vector3& move = BS::Vector3(0.0f, 0.0f, 0.0f)) {
    for (const auto& turn : turns) p = Turned(p, turn.first, turn.second);
    return BS::Vector3(p.x + move.x, p.y + move.y, p.z + move.z);
}

void ExpectPlaces(const BS::Matrix44& m, const BS::Vector3& p, const BS::Vector3& want, const std::string& what) {
    const BS::Vector3 got = m.TransformPoint(p);
    const float tolerance = 1e-4f * (1.0f + std::fabs(want.x) + std::fabs(want.y) + std::fabs(want.z));
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

const BS::Vector3 kProbes[] = {{1.0f, 2.0f, 3.0f}, {-4.0f, 0.5f, 2.5f}, {0.3f, -7.0f, -1.0f}};
const BS::Vector3 kX(1.0f, 0.0f, 0.0f), kY(0.0f, 1.0f, 0.0f), kZ(0.0f, 0.0f, 1.0f);

// The crystals spin a hundred times as fast from 52.2 to 58 s; each shard keeps its own tilt and stretches
// with its number.
TEST(SceneLogic, CrystalsSpinAndEachShardKeepsItsOwnTilt) {
    for (const BS::Vector3& p : kProbes) {
        for (float t : {40.0f, 52.2f, 53.0f, 55.5f, 57.9f, 58.0f, 61.3f}) {
            const float s = t > 52.2f && t < 58.0f ? 100.0f : 1.0f;
            ExpectPlaces(crystalGrowth::Spin(t), p, Through(p, {{kX, s * t}, {kY, 1.5f * s * t}, {kZ, 2.0f * s * t}}),
                         "spin at " + std::to_string(t));
        }
        for (int shard : {1, 9, 33, 59})
            for (float t : {bass[shard] + 0.1f, 170.0f}) {
                const float g = crystalGrowth::ShardGrowth(t, shard), i = static_cast<float>(shard);
                ExpectPlaces(crystalGrowth::ShardPlacement(t, shard), p,
                             Through(BS::Vector3(p.x * g, p.y * (g + 0.01f * i * g), p.z * g),
                                     {{kX, 137.0f * i}, {BS::Vector3(-1.0f, 0.0f, 1.0f), 234.0f * i},
                                      {BS::Vector3(0.2f, 1.0f, 0.0f), 349.0f * i}}),
                             "shard " + std::to_string(shard) + " at " + std::to_string(t));
            }
        ExpectPlaces(crystalGrowth::MainPlacement(), p, BS::Vector3(2.0f * p.x, p.y - 10.0f, 2.0f * p.z), "the crystal");
    }
}

// The skull slides across rocking and nods with its jaw; the cameras of the particles, the saw blade and the
// jellyfish.
TEST(SceneLogic, TheSkullAndTheScenesViewsFollowTheirRules) {
    for (float t : {0.0f, 3.7f, 4.6f, 11.0f, 12.0f, 16.4f, 17.3f}) {
        const std::string when = " at " + std::to_string(t);
        const float phases[4] = {0.3f + t, 1.1f * t, 2.0f - t, 0.7f * t};
        for (const BS::Vector3& p : kProbes) {
            ExpectPlaces(particleScene::HeadPlacement(t), p,
                         Through(p,
                                 {{kZ, kHalfPi}, {kX, 0.3 * std::sin(0.5 * t) - 0.3 * kPi}, {kY, 0.25 * std::sin(0.25 * t)}},
                                 BS::Vector3(180.0f - 180.0f * t / 11.0f, 150.0f, -180.0f)),
                         "the skull" + when);
            ExpectPlaces(particleScene::Nod(t, -0.15f), p, Turned(p, kX, -0.15 * std::pow(std::sin(2.0 * t), 2.0)),
                         "the jaw" + when);
            ExpectPlaces(particleScene::Camera(t), p,
                         Through(p, {{BS::Vector3(-1.0f, 0.0f, 0.0f), kPi / 4.0 - kPi * t / 48.0}, {kY, 0.16 * kPi - 0.016 * kPi * t}},
                                 BS::Vector3(0.0f, 10.0f, -25.0f)),
                         "the particles' camera" + when);
            ExpectPlaces(sawblade::View(phases[0], phases[1], phases[2], phases[3]), p,
                         Through(BS::Vector3(p.x, p.y, p.z + 220.0f + 50.0f * std::sin(phases[0])),
                                 {{kX, 0.25 * std::sin(phases[1])}, {kZ, 0.25 * std::sin(phases[2])}, {kY, phases[3]}}),
                         "the saw blade's camera" + when);
        }
    }
    for (float t : {150.0f, snare[100] + 0.01f, snare[120] + 0.01f}) {
        const double n = SnareCount(t);
        for (const BS::Vector3& p : kProbes)
            ExpectPlaces(manetjakt::View(t), p,
                         Through(p, {{kX, n * n}, {kZ, kHalfPi}, {kX, -1.0}}, BS::Vector3(0.0f, 0.0f, -150.0f)),
                         "the jellyfish's view at " + std::to_string(t));
    }
}

TEST(SceneLogic, TheOverlayRocksAndBlendsThereAndBack) {
    for (float t : {0.0f, 0.4f, 1.9f, 7.3f}) EXPECT_NEAR(overlay::Rock(t), 0.25 * std::sin(2.0 * t), 1e-6) << t;
    for (const auto& [u, blend] :
         {std::pair{0.0f, 0.0}, {0.25f, 0.5}, {0.5f, 1.0}, {0.9f, (1.0 - std::cos(1.8 * kPi)) / 2.0}})
        EXPECT_NEAR(overlay::Blend(u), blend, 1e-6f) << u;
}

TEST(SceneLogic, ParticleSpringFormsHoldsAndReleases) {
    // At and past the ends exactly; between them by the formula, to rounding.
    const std::tuple<float, float, float> cases[] = {
        {4.0f, 0.0f, 0.0f}, {7.0f, 20.0f * std::pow(std::sin(0.25f * 3.1415927f), 5.0f), 1e-4f}, {10.0f, 20.0f, 0.0f},
        {11.99f, 20.0f, 0.0f}, {12.0f, 0.0f, 0.0f}, {15.0f, 0.0f, 0.0f}};
    for (const auto& [t, strength, tolerance] : cases)
        EXPECT_NEAR(particleScene::SpringStrength(t), strength, tolerance) << t;
}

TEST(SceneLogic, ParticleBackgroundBrightensDimsAndNeverTakesARootOfANegative) {
    EXPECT_FLOAT_EQ(particleScene::BackgroundLevel(0.0f), 0.0f);
    EXPECT_NEAR(particleScene::BackgroundLevel(10.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(particleScene::BackgroundLevel(5.0f), std::sqrt(std::sin(0.25f * 3.1415927f)), 1e-5f);
    for (float t : {0.0f, 11.0f, 16.5f}) EXPECT_NEAR(particleScene::BackgroundScroll(t), -400.0f + 200.0f * t / 11.0f, 1e-3f);
    for (float t : {20.5f, 21.0f, 22.4f}) EXPECT_FLOAT_EQ(particleScene::BackgroundLevel(t), 0.0f) << t;  // NaN fails
}

TEST(SceneLogic, BallClockJumpsBackWholeSecondsOnlyInsideGlitchWindows) {
    // Each window's start and length; inside (ends open) the clock goes back rand() % (whole seconds of the start).
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

// The next rand() / 2^bits, the way the particle recipes draw their numbers.
float Over(int bits) { return std::ldexp(static_cast<float>(rand()), -bits); }

struct Recipe {
    float size, alpha, alphaSpeed;
    float colour[3], position[3], velocity[3];
};

void ExpectMade(const Particle& p, const Recipe& r, const std::string& what) {
    EXPECT_FLOAT_EQ(p.size, r.size) << what;
    EXPECT_FLOAT_EQ(p.alpha, r.alpha) << what;
    EXPECT_FLOAT_EQ(p.alphaSpeed, r.alphaSpeed) << what;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(p.colour[i], r.colour[i]) << what << ", colour " << i;
        EXPECT_FLOAT_EQ(p.position[i], r.position[i]) << what << ", position " << i;
        EXPECT_FLOAT_EQ(p.velocity[i], r.velocity[i]) << what << ", velocity " << i;
        EXPECT_EQ(p.home[i], p.position[i]) << what << ": a particle starts at home";
    }
}

TEST(SceneLogic, ParticleRecipesDrawTheirNumbersInTurn) {
    const float gold[3] = {222.0f / 255.0f, 173.0f / 255.0f, 3.0f / 255.0f};
    const float emitterAngles[3] = {0.0f, 1.6443951f, 4.63879f};
    for (unsigned seed : {1u, 77u, 2026u}) {
        for (bool atLoad : {true, false}) {
            srand(seed);
            const float size = Over(29), u = Over(31), vx = Over(29), vy = Over(29), vz = Over(27);
            const float a = Over(31), b = Over(31), c = Over(31);
            const float blue = atLoad ? 0.5f : 0.4f, grey = 0.55f * u + 0.05f * (1.0f - u);
            const Recipe jelly{1.0f + size, 1.0f, 0.0f, {grey, grey, 0.65f * u + blue * (1.0f - u)},
                               {atLoad ? -200.0f + 400.0f * a : -400.0f + 800.0f * a,
                                atLoad ? -200.0f + 400.0f * b : -400.0f + 800.0f * b,
                                atLoad ? -500.0f + 1000.0f * c : -500.0f},
                               {-2.5f + vx, -2.5f + vy, 400.0f + vz}};
            srand(seed);
            ExpectMade(manetjakt::StreamParticle(atLoad), jelly, atLoad ? "a loaded stream particle" : "an emitted one");
        }
        for (int emitter : {-1, 0, 1, 2}) {
            srand(seed);
            const float size = Over(29);
            rand();  // drawn and not kept
            const int e = emitter < 0 ? rand() % 3 : emitter;
            const float y = Over(28), x = Over(28), z = Over(28), vy = Over(27), vx = Over(27), vz = Over(27);
            const float px = 60.0f * std::cos(emitterAngles[e]) + x - 5.0f;
            const float pz = 60.0f * std::sin(emitterAngles[e]) + z - 5.0f;
            const Recipe saw{2.0f + size, 1.0f, -0.05f, {gold[0], gold[1], gold[2]}, {px, 15.0f + y, pz},
                             {px + vx - 10.0f, -80.0f + vy, pz + vz - 10.0f}};
            srand(seed);
            ExpectMade(sawblade::Spark(emitter, 15.0f), saw, "a saw spark from emitter " + std::to_string(emitter));
        }
        srand(seed);
        const float size = Over(29), y = Over(31), r = Over(31), a = Over(30);
        const float radius = 780.0f + 240.0f * r, angle = kPi * a;
        const Recipe ring{2.0f + size, 1.0f, -0.1f, {gold[0], gold[1], gold[2]},
                          {radius * std::cos(angle), -120.0f + 240.0f * y, radius * std::sin(angle)}, {0.0f, 0.0f, 0.0f}};
        srand(seed);
        ExpectMade(tunnel::Spark(), ring, "a tunnel spark");
    }
}

// Drawing corner k of triangle i as the overlay decodes it, enlarged onto the screen.
void Corner(const unsigned char* vertices, int corner, float& x, float& y) {
    y = 2.5f * (vertices[2 * corner] / 255.0f - 0.5f);
    x = 2.5f * (0.5f - vertices[2 * corner + 1] / 255.0f);
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
