#include "sawblade.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AnimatedScene.h"
#include "B3D/Source/B3D_Camera.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/Beats.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "ParticleStream.h"
#include "SceneSupport.h"

namespace {

constexpr float kStep = 0.05f;
constexpr float kThreeQuarterPi = 2.3561945f;
constexpr int kPool = 6000;
const float kEmitterAngles[3] = {0.0f, 1.6443951f, 4.63879f};

AnimatedScene* gScene = nullptr;
bool gLoaded = false;
GLuint gBackground = 0;
GLuint gEnvironment = 0;
ParticleEngine* gSparks = nullptr;
std::vector<float> gField;
SimpleCamera* gCamera = nullptr;
float gAnimationTime = 0.0f;
float gPhase1 = 0.0f, gPhase2 = 0.0f, gPhase3 = 0.0f, gYaw = 0.0f;
int gSnareAt = 0, gBassAt = 0;
ParticleStream gStream(1000.0f);
int gEmitted = 0;

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
    if (rand() % 2 == 1) gYaw += RandomOver(31) + kThreeQuarterPi;
    phase += RandomOver(31) + kThreeQuarterPi;
}

}  // namespace

Particle sawblade::Spark(int emitter, float h) {
    Particle p{};
    p.size = 2.0f + RandomOver(29);
    rand();  // drawn and not used
    if (emitter < 0) emitter = rand() % 3;
    const float theta = kEmitterAngles[emitter];
    p.alpha = 1.0f;
    p.alphaSpeed = -0.05f;
    for (int c = 0; c < 3; ++c) p.colour[c] = kSparkGold[c];
    p.position[1] = h + RandomOver(28);
    p.position[0] = 60.0f * std::cos(theta) + RandomOver(28) - 5.0f;
    p.position[2] = 60.0f * std::sin(theta) + RandomOver(28) - 5.0f;
    p.velocity[1] = -80.0f + RandomOver(27);
    p.velocity[0] = p.position[0] + RandomOver(27) - 10.0f;
    p.velocity[2] = p.position[2] + RandomOver(27) - 10.0f;
    for (int i = 0; i < 3; ++i) p.home[i] = p.position[i];
    return p;
}

void sawblade::load() {
    gScene = new AnimatedScene();
    if (!gScene->Load("Scene5", "sawblade.mas")) return;
    Shader* env = Shader::LoadShader(FxPath("/FxData/Scene5/EnvShader"));
    Shader* env2 = Shader::LoadShader(FxPath("/FxData/Scene5/EnvShader2"));
    gScene->AssignShaders([env, env2](const std::string& name) { return name == "manet.png" ? env : env2; }, true);
    gScene->LoadForContext();
    gBackground = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene5/bg.png"));
    gEnvironment = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene5/bg-env.png"));
    gSparks = NewParticleEngine(kPool, "/FxData/Common/particle.png", 500.0f, "/FxData/Scene5/forcefield.raw", gField);
    for (int i = 0; i < kPool; ++i) gSparks->AddParticle(Spark(-1, 15.0f));
    gCamera = new SimpleCamera();
    BS::Matrix44 identity;
    for (int i = 0; i < 120; ++i) gSparks->Update(&identity, 0.033333335f, 0.0f);
    gLoaded = true;
}

void sawblade::renderForFxTime(float, float t, float, float) {
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(gBackground);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    UseAttributeArrays(3);
    if (!gLoaded) return;

    gAnimationTime = Wrap(gAnimationTime + kStep);
    gScene->Animate(gAnimationTime);
    auto* node = dynamic_cast<DAS_CameraNode*>(gScene->Scene().NodeForName("Camera04.Target"));
    if (!node || !node->Camera()) return;
    B3D_Camera& camera = *node->Camera();
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gEnvironment);
    glActiveTexture(GL_TEXTURE0);

    gPhase1 += 0.1f * kStep;
    gPhase2 += 0.06f * kStep;
    gPhase3 += 0.07f * kStep;
    gYaw += 0.08f * kStep;
    const bool snareBeat = PassBeats(snare, kSnareCount, gSnareAt, t);
    const bool bassBeat = PassBeats(bass, kBassCount, gBassAt, t);
    if (bassBeat) Kick(gPhase1);
    if (snareBeat) {
        Kick(gPhase2);
        if (bassBeat) Kick(gPhase3);
    }

    BS::Matrix44& view = camera.mTransform;
    view.Identity();
    view.Translate(BS::Vector3(0.0f, 0.0f, 220.0f + 50.0f * std::sin(gPhase1)));
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), 0.25f * std::sin(gPhase2));
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), 0.25f * std::sin(gPhase3));
    view.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), gYaw);
    gScene->Render(camera);

    DrawSparks(*gSparks, *gCamera, camera, kStep);

    gStream.Advance(kStep, [] {
        ++gEmitted;
        gSparks->AddParticle(Spark(gEmitted % 3, -15.0f));
    });
}
