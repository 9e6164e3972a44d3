#include "manetjakt.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/ShowMemory.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "ParticleStream.h"
#include "SceneSupport.h"

namespace {

constexpr int kParticles = 5000;
constexpr float kEmissionRate = 2000.0f;  // particles per second
constexpr float kScrollerStart = 162.4f;

// Everything the scene keeps between calls: what load builds, and the motion
// that each frame advances and that carries over across cuts.
struct State {
    SimpleModel* manet = nullptr;
    std::vector<RenderListVertex> rest;  // the model as loaded: every swell starts from it
    SimpleCamera* camera = nullptr;
    ParticleEngine* stream = nullptr;
    std::vector<float> forceField;
    GLuint background = 0;
    GLuint scroller = 0;
    struct Motion {
        float lastTime = -1.0f;
        ParticleStream emission{kEmissionRate};
    } motion;
};
State gState;

RenderList* FirstList(SimpleModel* model) {
    return model && !model->GetRenderLists().empty() ? model->GetRenderLists()[0] : nullptr;
}

}  // namespace

Particle manetjakt::StreamParticle(bool atLoad) {
    Particle p{};
    p.size = 1.0f + RandomOver(29);
    p.alpha = 1.0f;
    const float u = RandomOver(31);
    const float deepBlue = atLoad ? 0.5f : 0.4f;
    p.colour[0] = p.colour[1] = 0.55f * u + 0.05f * (1.0f - u);
    p.colour[2] = 0.65f * u + deepBlue * (1.0f - u);
    p.velocity[0] = -2.5f + RandomOver(29);
    p.velocity[1] = -2.5f + RandomOver(29);
    p.velocity[2] = 400.0f + RandomOver(27);
    if (atLoad) {
        p.position[0] = -200.0f + 400.0f * RandomOver(31);
        p.position[1] = -200.0f + 400.0f * RandomOver(31);
        p.position[2] = -500.0f + 1000.0f * RandomOver(31);
    } else {
        p.position[0] = -400.0f + 800.0f * RandomOver(31);
        p.position[1] = -400.0f + 800.0f * RandomOver(31);
        p.position[2] = -500.0f;
    }
    StartAtHome(p);
    return p;
}

void manetjakt::load() {
    gState.manet = LoadSceneModel("/FxData/manetjakt/", "manet.obj");
    gState.camera = new SimpleCamera();
    if (RenderList* live = FirstList(gState.manet)) {
        const Array<RenderListVertex>& vertices = live->GetVertices();
        gState.rest.assign(vertices.Records(), vertices.Records() + vertices.Count());
    }
    gState.stream = NewParticleEngine(kParticles, "/FxData/Common/particle.png", 500.0f,
                                      "/FxData/manetjakt/forcefield.raw", gState.forceField);
    for (int i = 0; i < kParticles; ++i) gState.stream->AddParticle(StreamParticle(true));
    gState.background = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/background.png"));
    gState.scroller = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/scroller.png"));
    SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/fade.png"));
}

void manetjakt::animateManet(float time) {
    RenderList* live = FirstList(gState.manet);
    if (!live) return;
    // The rest copy was taken from this list, vertex for vertex.
    RenderListVertex* vertex = live->GetVertices().Records();
    for (const RenderListVertex& rest : gState.rest) {
        const float s = 1.0f + 0.2f * std::sin(0.02f * rest.z + 10.0f * time);
        vertex->x = rest.x * s;
        vertex->y = rest.y * s;
        ++vertex;
    }
    live->Flush();
}

BS::Matrix44 manetjakt::View(float t) {
    const float n = static_cast<float>(SnareCount(t));
    BS::Matrix44 view;
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), n * n);
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), -1.0f);
    view.Translate(BS::Vector3(0.0f, 0.0f, -150.0f));
    return view;
}

void manetjakt::Rewind() { gState.motion = State::Motion(); }

void manetjakt::RegisterState(ShowMemory& memory) {
    memory.Add(gState.motion);
    gState.stream->RegisterState(memory);
}

void manetjakt::advanceForFxTime(float fxTime, float, float, float) {
    const float dt = gState.motion.lastTime > 0.0f ? fxTime - gState.motion.lastTime : kFirstFrameStep;
    gState.motion.emission.Advance(dt, [] { gState.stream->AddParticle(manetjakt::StreamParticle(false)); });
    gState.motion.lastTime = fxTime;
    gState.stream->Update(nullptr, dt, 0.0f);
}

void manetjakt::drawForFxTime(float, float t, float, float) {
    const BS::Matrix44 view = View(t);
    const BS::Matrix44 projection = gState.camera->GetProjectionMatrix();
    const BS::Matrix44 identity;

    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(gState.background);

    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    UseAttributeArrays(3);
    animateManet(t);
    BS::Matrix44 upsideDown;
    upsideDown.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), kPi);
    RenderPlaced(gState.manet, view, upsideDown, projection, identity);

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
    UseAttributeArrays(4);
    const BS::Matrix44 pv = projection * view;
    gState.stream->Render(&pv);

    if (t > kScrollerStart) {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, gState.scroller);
        DemoSys::DrawRect(0.0f, 480.0f - 44.4f * (t - kScrollerStart), 480.0f, 630.0f, kHalfPi, DemoSys::kWhite);
        glDisable(GL_BLEND);
    }
    glDepthMask(GL_TRUE);
}
