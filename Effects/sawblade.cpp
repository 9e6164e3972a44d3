#include "sawblade.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AnimatedScene.h"
#include "B3D/Source/B3D_Camera.h"
#include "DemoSys/Beats.h"
#include "DemoSys/ShowMemory.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "ParticleStream.h"
#include "SceneSupport.h"

namespace {

constexpr float kStep = 0.05f;
constexpr float kThreeQuarterPi = 2.3561945f;
constexpr int kPool = 6000;
const float kEmitterAngles[3] = {0.0f, 1.6443951f, 4.63879f};
const char* const kCameraNode = "Camera04.Target";

// Everything the scene keeps between calls: what load builds, and the motion
// that each frame advances and that carries over across cuts.
struct State {
    AnimatedScene* scene = nullptr;
    bool loaded = false;
    GLuint background = 0;
    GLuint environment = 0;
    ParticleEngine* sparks = nullptr;
    std::vector<float> field;
    SimpleCamera* camera = nullptr;
    struct Motion {
        float animationTime = 0.0f;
        float phase1 = 0.0f;
        float phase2 = 0.0f;
        float phase3 = 0.0f;
        float yaw = 0.0f;
        int snareAt = 0;
        int bassAt = 0;
        ParticleStream stream{1000.0f};
        int emitted = 0;
    } motion;
};
State gState;

// Moves a read position past every beat at or before t; true when one was passed.
bool PassBeats(const float* table, int count, int& at, float t) {
    bool passed = false;
    while (at < count && table[at] <= t) {
        ++at;
        passed = true;
    }
    return passed;
}

// A kick of a little over 3/4 pi, turning the yaw as well on odd draws.
void Kick(float& phase) {
    if (rand() % 2 == 1) gState.motion.yaw += RandomOver(31) + kThreeQuarterPi;
    phase += RandomOver(31) + kThreeQuarterPi;
}

}  // namespace

Particle sawblade::Spark(int emitter, float height) {
    Particle p{};
    p.size = 2.0f + RandomOver(29);
    // The recipe draws one value that no field keeps; it is still drawn so that
    // every later number of the sequence, and with it each spark and beat kick,
    // stays what the show was made with.
    rand();
    if (emitter < 0) emitter = rand() % 3;
    const float theta = kEmitterAngles[emitter];
    p.alpha = 1.0f;
    p.alphaSpeed = -0.05f;
    for (int c = 0; c < 3; ++c) p.colour[c] = kSparkGold[c];
    p.position[1] = height + RandomOver(28);
    p.position[0] = 60.0f * std::cos(theta) + RandomOver(28) - 5.0f;
    p.position[2] = 60.0f * std::sin(theta) + RandomOver(28) - 5.0f;
    p.velocity[1] = -80.0f + RandomOver(27);
    p.velocity[0] = p.position[0] + RandomOver(27) - 10.0f;
    p.velocity[2] = p.position[2] + RandomOver(27) - 10.0f;
    StartAtHome(p);
    return p;
}

BS::Matrix44 sawblade::View(float phase1, float phase2, float phase3, float yaw) {
    BS::Matrix44 view;
    view.Translate(BS::Vector3(0.0f, 0.0f, 220.0f + 50.0f * std::sin(phase1)));
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), 0.25f * std::sin(phase2));
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), 0.25f * std::sin(phase3));
    view.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), yaw);
    return view;
}

void sawblade::load() {
    gState.scene = new AnimatedScene();
    if (!gState.scene->LoadWithEnvironmentShaders("Scene5", "sawblade.mas",
                                                  [](const std::string& material) { return material == "manet.png"; }))
        return;
    gState.background = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene5/bg.png"));
    gState.environment = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene5/bg-env.png"));
    gState.sparks =
        NewParticleEngine(kPool, "/FxData/Common/particle.png", 500.0f, "/FxData/Scene5/forcefield.raw", gState.field);
    for (int i = 0; i < kPool; ++i) gState.sparks->AddParticle(Spark(-1, 15.0f));
    gState.camera = new SimpleCamera();
    WarmUpSparks(*gState.sparks);
    gState.loaded = true;
}

void sawblade::Rewind() { gState.motion = State::Motion(); }

void sawblade::RegisterState(ShowMemory& memory) {
    memory.Add(gState.motion);
    if (gState.sparks) gState.sparks->RegisterState(memory);
}

void sawblade::advanceForFxTime(float, float t, float, float) {
    if (!gState.loaded) return;
    gState.motion.animationTime = Wrap(gState.motion.animationTime + kStep);
    // Without its camera the scene stands still.
    if (!gState.scene->CameraNamed(kCameraNode)) return;

    gState.motion.phase1 += 0.1f * kStep;
    gState.motion.phase2 += 0.06f * kStep;
    gState.motion.phase3 += 0.07f * kStep;
    gState.motion.yaw += 0.08f * kStep;
    const bool snareBeat = PassBeats(snare, kSnareCount, gState.motion.snareAt, t);
    const bool bassBeat = PassBeats(bass, kBassCount, gState.motion.bassAt, t);
    if (bassBeat) Kick(gState.motion.phase1);
    if (snareBeat) {
        Kick(gState.motion.phase2);
        if (bassBeat) Kick(gState.motion.phase3);
    }

    gState.sparks->Update(nullptr, kStep, 0.0f);
    gState.motion.stream.Advance(kStep, [] {
        ++gState.motion.emitted;
        gState.sparks->AddParticle(Spark(gState.motion.emitted % 3, -15.0f));
    });
}

void sawblade::drawForFxTime(float, float, float, float) {
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(gState.background);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    UseAttributeArrays(3);
    if (!gState.loaded) return;

    gState.scene->Animate(gState.motion.animationTime);
    B3D_Camera* const lens = gState.scene->CameraNamed(kCameraNode);
    if (!lens) return;
    B3D_Camera& camera = *lens;
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gState.environment);
    glActiveTexture(GL_TEXTURE0);

    camera.mTransform = View(gState.motion.phase1, gState.motion.phase2, gState.motion.phase3, gState.motion.yaw);
    gState.scene->Render(camera);
    DrawSparks(*gState.sparks, *gState.camera, camera);
}
