#include "particleScene.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/ShowMemory.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "SceneSupport.h"

namespace {

constexpr int kParticles = 12000;
// How far ahead a frame looks for the uncovered rows of a later one: a few
// frames, for a clock whose frames come further apart than a tick.
constexpr float kKeptRowsLead = 0.1f;

// Everything the scene keeps between calls: what load builds, and the motion
// that each frame advances and that carries over across cuts.
struct State {
    SimpleCamera* camera = nullptr;
    ParticleEngine* particles = nullptr;
    std::vector<float> forceField;
    GLuint background = 0;
    struct Motion {
        float lastTime = -1.0f;
        bool fadeStarted = false;
        int frames = 0;
    } motion;
};
State gState;

SimpleModel* LoadWithOwnShader(const char* name) {
    SimpleModel* model = LoadSceneModel("/FxData/ParticleGirl/", name);
    if (model) model->SetShaderProgram(Shader::LoadShader(FxPath("/FxData/ParticleGirl/EnvShader")));
    return model;
}

// Every particle at full alpha, fading at its own rate between 0.075 and 0.275 per second.
void StartFadeOut() {
    Particle* particles = gState.particles->GetParticles();
    for (int i = 0; i < kParticles; ++i) {
        particles[i].alpha = 1.0f;
        particles[i].alphaSpeed = -0.075f - 0.2f * RandomOver(31);
    }
}

}  // namespace

float particleScene::SpringStrength(float t) {
    if (t > 4.0f && t < 10.0f) return 20.0f * std::pow(std::sin(((t - 4.0f) / 6.0f) * kHalfPi), 5.0f);
    if (t >= 10.0f && t < 12.0f) return 20.0f;
    return 0.0f;
}

float particleScene::BackgroundScroll(float t) { return 18.181818f * t - 400.0f; }

float particleScene::BackgroundLevel(float t) {
    const float s = std::sin(0.05f * kPi * t);
    return s > 0.0f ? std::sqrt(s) : 0.0f;
}

BS::Matrix44 particleScene::Camera(float t) {
    BS::Matrix44 m;
    m.Rotate(BS::Vector3(-1.0f, 0.0f, 0.0f), kPi / 4.0f - kPi * t / 48.0f);
    m.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), 0.16f * kPi - 2.0f * kPi * 0.008f * t);
    m.Translate(BS::Vector3(0.0f, 10.0f, -25.0f));
    return m;
}

BS::Matrix44 particleScene::HeadPlacement(float t) {
    BS::Matrix44 place;
    place.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    place.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), 0.3f * std::sin(0.5f * t) - 0.3f * kPi);
    place.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), 0.25f * std::sin(0.25f * t));
    place.Translate(BS::Vector3(180.0f - (180.0f / 11.0f) * t, 150.0f, -180.0f));
    return place;
}

BS::Matrix44 particleScene::Nod(float t, float depth) {
    const float pulse = std::sin(2.0f * t) * std::sin(2.0f * t);
    BS::Matrix44 m;
    m.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), depth * pulse);
    return m;
}

void particleScene::load() {
    gState.camera = new SimpleCamera();
    gState.particles = new ParticleEngine(kParticles, "/FxData/ParticleGirl/ball_silver.png");

    printf("--> LOADING FORCE FIELD!\n");
    if (ReadForceFieldFile(FxPath("/FxData/ParticleGirl/forcefield.raw"), gState.forceField))
        gState.particles->SetForceField(gState.forceField.data());

    srand(0);  // the only seeding: every scene's rand() draws from here on

    mHead = LoadWithOwnShader("skull.obj");
    mJaw = LoadWithOwnShader("jaw.obj");

    printf("--> PARTICLE LOAD\n");
    const std::string particles = FxPath("/FxData/ParticleGirl/particles.raw");
    FILE* file = fopen(particles.c_str(), "rb");
    gState.particles->LoadSystem(file, particles);
    if (file) fclose(file);

    gState.background = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/ParticleGirl/Background.png"));
    mRenderBuffer = new RenderBuffer(320, 480, false);
    CheckGLError("RENDERBUFFER");
}

void particleScene::Rewind() { gState.motion = State::Motion(); }

void particleScene::RegisterState(ShowMemory& memory) {
    memory.Add(gState.motion);
    gState.particles->RegisterState(memory);
}

bool particleScene::KeepsPixels(float t) const { return BackgroundScroll(t + kKeptRowsLead) > 0.0f; }

void particleScene::advanceForFxTime(float t, float, float, float) {
    const float dt = gState.motion.lastTime > 0.0f ? t - gState.motion.lastTime : kFirstFrameStep;
    gState.motion.lastTime = t;
    if (t > 12.0f && !gState.motion.fadeStarted) {
        StartFadeOut();
        gState.motion.fadeStarted = true;
    }
    gState.particles->Update(nullptr, dt, SpringStrength(t));

    ++gState.motion.frames;
    if (gState.motion.frames % 10 == 0)
        printf("[%d FRAMES | %.1f SECONDS | %.1f FPS]\n", gState.motion.frames, t, gState.motion.frames / t);
}

void particleScene::drawForFxTime(float t, float, float, float) {
    CheckGLError("BEFORE BIND");
    mRenderBuffer->BindAsRenderTarget();
    CheckGLError("BIND RENDERBUFFER");

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, gState.background);
    const float g = BackgroundLevel(t);
    const float grey[4] = {g, g, g, 1.0f};
    DemoSys::DrawRect(0.0f, BackgroundScroll(t), 480.0f, 720.0f, kHalfPi, grey);

    const BS::Matrix44 camera = Camera(t);
    const BS::Matrix44 projection = gState.camera->GetProjectionMatrix();
    const BS::Matrix44 pv = projection * camera;

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    UseAttributeArrays(4);
    gState.particles->Render(&pv);

    CheckGLError("BEFORE RESET");
    DemoSys::ResetRenderTarget();
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    mRenderBuffer->BindAsTexture();
    DemoSys::DrawRect(0.0f, 0.0f, 480.0f, 320.0f, 0.0f, DemoSys::kWhite);
    CheckGLError("AFTER RESET");

    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    UseAttributeArrays(3);

    const BS::Matrix44 place = HeadPlacement(t);
    glActiveTexture(GL_TEXTURE1);
    mRenderBuffer->BindAsTexture();
    glActiveTexture(GL_TEXTURE0);
    RenderPlaced(mHead, place, Nod(t, 0.025f), projection, camera);
    RenderPlaced(mJaw, place, Nod(t, -0.15f), projection, camera);
    CheckGLError("AFTER DEPTH MASK");
}
