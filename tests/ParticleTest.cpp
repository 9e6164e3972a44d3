// The particle engine: field lookup, spring, life and death of particles, the ring, colour bytes, both file
// formats, and a drawn pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "GLTestSupport.h"
#include "Linux/Source/PngFile.h"
#include "TempTree.h"

namespace {

constexpr float kDt = 0.1f;

Particle Alive(float x, float y, float z) {
    Particle p{};
    p.size = 1.0f;
    p.alpha = 1.0f;
    p.position[0] = x;
    p.position[1] = y;
    p.position[2] = z;
    return p;
}

void AppendLittleEndian(std::string& bytes, float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
}

class ParticleTest : public GLTest {
protected:
    // A pool whose material is an all-white picture.
    void WhitePool(ParticleEngine& engine) {
        const std::vector<uint8_t> white(8 * 8 * 4, 255);
        std::string error;
        ASSERT_TRUE(WritePng(mTree.Path() + "/white.png", 8, 8, white.data(), error));
        engine.GetMaterial()->LoadTexture(mTree.Path() + "/white.png");
    }
    // The pool drawn as the scenes draw it, over a black screen.
    static void DrawOverBlack(const ParticleEngine& engine, const BS::Matrix44& view) {
        DemoSys::ResetRenderTarget();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (GLuint i = 0; i < 4; ++i) glEnableVertexAttribArray(i);
        engine.Render(&view);
        for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i);
        glDisable(GL_BLEND);
    }
    TempTree mTree;
};

TEST_F(ParticleTest, CoordinatesMapToCellsWithTheBordersServingOutside) {
    // Coordinate, world size, cell: at -9.4, s = 0.96; a world of 10 is read from the same file.
    const std::tuple<float, float, int> cases[] = {{-10.0f, 20.0f, 0},  {10.0f, 20.0f, 31},          {1e6f, 20.0f, 31},
                                                   {-1e6f, 20.0f, 0},   {0.0f, 20.0f, 16},           {-9.4f, 20.0f, 0},
                                                   {2.5f, 10.0f, 24},   {std::nanf(""), 20.0f, 0}};
    for (const auto& [x, size, cell] : cases) EXPECT_EQ(ParticleEngine::CellIndex(x, size), cell) << x << " of " << size;
}

// One update by the rule: size and alpha step with the speeds they had, then the speeds step; the velocity takes the
// field of the particle's cell, then the spring and damping; the position steps with the new velocity.
void Step(Particle& p, const std::vector<float>& field, float worldSize, float dt, float k) {
    p.size += p.sizeSpeed * dt;
    p.sizeSpeed += p.sizeAcceleration * dt;
    p.alpha += p.alphaSpeed * dt;
    p.alphaSpeed += p.alphaAcceleration * dt;
    if (p.alpha < 0) p.size = 0;
    int cell[3];
    for (int axis = 0; axis < 3; ++axis) {
        const float s = (p.position[axis] + worldSize / 2) / worldSize * 32;
        cell[axis] = !(s >= 0) ? 0 : s > 31 ? 31 : static_cast<int>(s);
    }
    const float* f = &field[3 * ((cell[2] * 32 + cell[1]) * 32 + cell[0])];
    for (int axis = 0; axis < 3; ++axis) {
        float v = p.velocity[axis] + f[axis] * dt;
        v += ((p.home[axis] - p.position[axis]) * dt * k - v) * dt * k;
        p.velocity[axis] = v;
        p.position[axis] += v * dt;
    }
}

TEST_F(ParticleTest, UpdatesFollowTheRuleWithFieldSpringAndGrowthTogether) {
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> any(-1, 1);
    std::vector<float> field(ParticleEngine::kFieldCells * 3);
    for (float& f : field) f = 20 * any(random);
    constexpr int kCount = 16;
    ParticleEngine engine(kCount, "/FxData/none.png");
    engine.SetForceField(field.data());
    engine.SetWorldSize(30.0f);
    std::vector<Particle> expected;
    for (int i = 0; i < kCount; ++i) {
        Particle p = Alive(15 * any(random), 15 * any(random), 15 * any(random));
        p.size = 2 + any(random);
        p.sizeSpeed = any(random), p.sizeAcceleration = 3 * any(random);
        p.alpha = 0.8f, p.alphaSpeed = 0.3f * any(random), p.alphaAcceleration = any(random);
        for (int axis = 0; axis < 3; ++axis) p.velocity[axis] = 5 * any(random);
        engine.AddParticle(p);
        std::memcpy(p.home, p.position, sizeof p.home);
        expected.push_back(p);
    }
    for (int update = 0; update < 8; ++update) {
        const float dt = 0.02f + 0.05f * (update % 3), k = 1.5f + any(random);
        engine.Update(nullptr, dt, k);
        for (int i = 0; i < kCount; ++i) {
            Particle& want = expected[i];
            Step(want, field, 30.0f, dt, k);
            const Particle& got = engine.GetParticles()[i];
            EXPECT_NEAR(got.size, want.size, 1e-4f) << i;
            EXPECT_NEAR(got.sizeSpeed, want.sizeSpeed, 1e-4f) << i;
            EXPECT_NEAR(got.alpha, want.alpha, 1e-4f) << i;
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(got.velocity[axis], want.velocity[axis], 1e-3f) << i << " axis " << axis;
                EXPECT_NEAR(got.position[axis], want.position[axis], 1e-3f) << i << " axis " << axis;
                EXPECT_EQ(engine.GetVertices()[3 * i + 1].centre[axis], got.position[axis]);
            }
            // The corners (0, s), (-s, -s), (s, -s) around the centre.
            EXPECT_EQ(engine.GetVertices()[3 * i].corner[1], got.size);
            EXPECT_EQ(engine.GetVertices()[3 * i + 1].corner[0], -got.size);
            EXPECT_EQ(engine.GetVertices()[3 * i + 2].corner[1], -got.size);
            EXPECT_EQ(engine.GetVertices()[3 * i + 2].colour[3], static_cast<uint8_t>(std::clamp(got.alpha, 0.0f, 1.0f) * 255.0f));
        }
    }
}

TEST_F(ParticleTest, AFadedParticleBecomesInvisibleInTheSameUpdate) {
    ParticleEngine engine(1, "/FxData/none.png");
    Particle fading = Alive(0, 0, 0);
    fading.alpha = 0.05f;
    fading.alphaSpeed = -1.0f;
    engine.AddParticle(fading);
    engine.Update(nullptr, kDt, 0.0f);
    EXPECT_FLOAT_EQ(engine.GetParticles()[0].size, 0.0f);  // alpha below 0: no size in the same update
    EXPECT_FLOAT_EQ(engine.GetVertices()[0].corner[1], 0.0f);
}

TEST_F(ParticleTest, PoolIsARingAndHomeIsTheAddedPosition) {
    ParticleEngine engine(4, "/FxData/none.png");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(engine.AddParticle(Alive(static_cast<float>(i), 0, 0)), i);
    Particle last = Alive(9, 8, 7);
    last.home[0] = -100.0f;  // ignored
    EXPECT_EQ(engine.AddParticle(last), 0);
    const Particle& slot0 = engine.GetParticles()[0];
    EXPECT_FLOAT_EQ(slot0.position[0], 9.0f);
    EXPECT_FLOAT_EQ(slot0.home[0], 9.0f);
    EXPECT_FLOAT_EQ(slot0.home[2], 7.0f);
    EXPECT_FLOAT_EQ(engine.GetParticles()[1].position[0], 1.0f);
    // Each particle is a triangle over its texture: apex at the top's middle, feet at the bottom corners.
    std::vector<int> uv;
    for (const ParticleVertex* corner : slot0.vertices) uv.insert(uv.end(), {corner->u, corner->v});
    EXPECT_EQ(uv, (std::vector<int>{127, 0, 0, 255, 255, 255}));
}

TEST_F(ParticleTest, APoolOfACapacityOfZeroOrLessTakesNoneAndMovesAndDrawsNothing) {
    for (int capacity : {0, -3}) {
        ParticleEngine engine(capacity, "/FxData/none.png");
        EXPECT_EQ(engine.GetCapacity(), 0);
        EXPECT_EQ(engine.AddParticle(Alive(1, 2, 3)), -1);
        engine.Update(nullptr, kDt, 1.0f);
        const BS::Matrix44 view;
        engine.Render(&view);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(ParticleTest, ParticleFileFillsLeadingSlotsAndKeepsTheRest) {
    std::string bytes;
    for (int r = 0; r < 2; ++r)
        for (int f = 0; f < 18; ++f) AppendLittleEndian(bytes, static_cast<float>(100 * r + f));
    bytes.append(40, '\0');  // a torn third record
    FILE* file = fopen(mTree.Write("particles.raw", bytes).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ParticleEngine engine(4, "/FxData/none.png");
    engine.AddParticle(Alive(5, 5, 5));
    engine.AddParticle(Alive(6, 6, 6));
    engine.AddParticle(Alive(7, 7, 7));
    testing::internal::CaptureStderr();
    EXPECT_EQ(engine.LoadSystem(file), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("2 of 4"), std::string::npos);
    fclose(file);
    const Particle* p = engine.GetParticles();
    EXPECT_FLOAT_EQ(p[0].size, 0.0f);
    EXPECT_FLOAT_EQ(p[0].home[2], 17.0f);
    EXPECT_FLOAT_EQ(p[1].alpha, 103.0f);
    EXPECT_FLOAT_EQ(p[1].position[0], 112.0f);
    EXPECT_FLOAT_EQ(p[2].position[0], 7.0f);
    EXPECT_EQ(p[1].vertices[0], engine.GetVertices() + 3);  // the links survive
    EXPECT_EQ(engine.LoadSystem(nullptr), 0);
}

TEST_F(ParticleTest, ForceFieldFileMustBeWhole) {
    std::string bytes;
    for (int i = 0; i < ParticleEngine::kFieldCells * 3; ++i) AppendLittleEndian(bytes, static_cast<float>(i % 7));
    std::vector<float> cells;
    ASSERT_TRUE(ReadForceFieldFile(mTree.Write("forcefield.raw", bytes), cells));
    ASSERT_EQ(cells.size(), static_cast<size_t>(ParticleEngine::kFieldCells * 3));
    EXPECT_FLOAT_EQ(cells[13], 6.0f);

    std::vector<float> untouched = {1.0f};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadForceFieldFile(mTree.Write("short.raw", bytes.substr(0, 1000)), untouched));
    EXPECT_FALSE(ReadForceFieldFile(mTree.Path() + "/absent.raw", untouched));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("short.raw: 1000 of 393216 bytes"), std::string::npos) << err;
    EXPECT_NE(err.find("absent.raw: cannot open"), std::string::npos) << err;
    EXPECT_EQ(untouched.size(), 1u);
}

// Particles that leave no pixel (faded out, or an alpha byte of 0) are left out of the draw; the others blend in the
// pool's order where they are: red at half alpha over black, then green at half alpha over that gives (64, 127, 0),
// where the other order would give (127, 64, 0) and a hidden blue none of its own.
TEST_F(ParticleTest, OverlappingParticlesBlendInPoolOrderWithTheHiddenLeftOut) {
    ParticleEngine engine(5, "/FxData/none.png");
    WhitePool(engine);
    const float colours[5][4] = {{0, 0, 1, 1.0f},    // faded out: no size
                                 {1, 0, 0, 0.5f},    // red
                                 {0, 0, 1, 0.001f},  // an alpha byte of 0
                                 {0, 1, 0, 0.5f},    // green
                                 {0, 0, 1, -1.0f}};  // faded out
    for (const auto& c : colours) {
        Particle p = Alive(0.5f, -0.25f, 0.0f);
        p.size = 0.3f;
        std::copy(c, c + 3, p.colour);
        p.alpha = c[3];
        engine.AddParticle(p);
    }
    engine.GetParticles()[0].size = -1.0f;
    engine.Update(nullptr, 0.0f, 0.0f);

    DrawOverBlack(engine, BS::Matrix44());
    const std::array<int, 4> centre = Pixel(240, 180), beside = Pixel(80, 180);
    EXPECT_TRUE(NearColour(centre, 64, 127, 0, 3)) << centre[0] << " " << centre[1] << " " << centre[2];
    EXPECT_TRUE(NearColour(beside, 0, 0, 0)) << "nothing where no particle is";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
