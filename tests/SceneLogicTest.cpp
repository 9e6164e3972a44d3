// The scenes' beat- and time-driven state, without GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "BS/Export/BS_Math.h"
#include "DemoSys/Beats.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "Effects/SceneSupport.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
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

// Past its twenty seconds the background's level would be the root of a negative sine: it stays dark.
TEST(SceneLogic, ParticleBackgroundNeverTakesARootOfANegative) {
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

}  // namespace
