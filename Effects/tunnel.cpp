#include "tunnel.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AnimatedScene.h"
#include "B3D/Source/B3D_Camera.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/ShowMemory.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "ParticleStream.h"
#include "SceneSupport.h"

namespace {

constexpr float kParticleStep = 0.05f;
constexpr float kAnimationStep = 0.016666668f;

// Everything the scene keeps between calls: what load builds, and the motion
// that each frame advances and that carries over across cuts.
struct State {
    AnimatedScene* scene = nullptr;
    bool loaded = false;
    GLuint environment = 0;
    ParticleEngine* sparks = nullptr;
    std::vector<float> field;
    SimpleCamera* camera = nullptr;
    struct Motion {
        float animationTime = 0.0f;
        ParticleStream stream{1000.0f};
    } motion;
};
State gState;

}  // namespace

Particle tunnel::Spark() {
    Particle p{};
    p.size = 2.0f + RandomOver(29);
    p.alpha = 1.0f;
    p.alphaSpeed = -0.1f;
    for (int c = 0; c < 3; ++c) p.colour[c] = kSparkGold[c];
    const float y = -120.0f + 240.0f * RandomOver(31);
    const float r = 780.0f + 240.0f * RandomOver(31);
    const float a = kPi * RandomOver(30);
    p.position[0] = r * std::cos(a);
    p.position[1] = y;
    p.position[2] = r * std::sin(a);
    StartAtHome(p);
    return p;
}

void tunnel::load() {
    gState.scene = new AnimatedScene();
    if (!gState.scene->LoadWithEnvironmentShaders("Scene4", "shadow.mas",
                                                  [](const std::string& material) { return material != "white.png"; }))
        return;
    gState.environment = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene4/bg-env.png"));
    gState.sparks = NewParticleEngine(6000, "/FxData/Scene4/ball_silver.png", 1500.0f, "/FxData/Scene4/forcefield.raw",
                                      gState.field);
    gState.camera = new SimpleCamera();
    WarmUpSparks(*gState.sparks);
    gState.loaded = true;
}

void tunnel::Rewind() { gState.motion = State::Motion(); }

void tunnel::RegisterState(ShowMemory& memory) {
    memory.Add(gState.motion);
    if (gState.sparks) gState.sparks->RegisterState(memory);
}

void tunnel::advanceForFxTime(float, float, float, float) {
    if (!gState.loaded) return;
    gState.motion.animationTime = gState.scene->Looped(gState.motion.animationTime + kAnimationStep);
    DAS_CameraNode* node = gState.scene->CameraAt(gState.motion.animationTime);
    if (!node) return;
    gState.motion.stream.Advance(kParticleStep, [] { gState.sparks->AddParticle(Spark()); });
    if (node->Camera()) gState.sparks->Update(nullptr, kParticleStep, 0.0f);
}

void tunnel::drawForFxTime(float, float, float, float) {
    BeginSceneFrame(0.0f, 0.0f, 1.0f);
    if (!gState.loaded) return;

    gState.scene->Animate(gState.motion.animationTime);
    DAS_CameraNode* node = gState.scene->CameraAt(gState.motion.animationTime);
    if (!node) {
        printf("-");
        return;
    }
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gState.environment);
    glActiveTexture(GL_TEXTURE0);
    B3D_Camera* camera = node->Camera();
    if (!camera) return;
    gState.scene->Render(*camera);
    DrawSparks(*gState.sparks, *gState.camera, *camera);  // placed by the camera's view
}
