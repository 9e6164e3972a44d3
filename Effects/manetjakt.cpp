#include "manetjakt.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DemoSys/DemoSys.h"
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

SimpleModel* gManet = nullptr;
RenderList* gRestCopy = nullptr;
SimpleCamera* gCamera = nullptr;
ParticleEngine* gStream = nullptr;
std::vector<float> gForceField;
GLuint gBackground = 0;
GLuint gScroller = 0;
float lLastTime = -1.0f;
ParticleStream gEmission(kEmissionRate);

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
    for (int i = 0; i < 3; ++i) p.home[i] = p.position[i];
    return p;
}

void manetjakt::load() {
    gManet = LoadSceneModel("/FxData/manetjakt/", "manet.obj");
    gCamera = new SimpleCamera();
    gRestCopy = new RenderList();
    if (RenderList* live = FirstList(gManet)) {
        const Array<RenderListVertex>& vertices = live->GetVertices();
        for (int i = 0; i < vertices.Count(); ++i) gRestCopy->AddVertex(vertices[i]);
    }
    gStream = NewParticleEngine(kParticles, "/FxData/Common/particle.png", 500.0f, "/FxData/manetjakt/forcefield.raw",
                                gForceField);
    for (int i = 0; i < kParticles; ++i) gStream->AddParticle(StreamParticle(true));
    gBackground = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/background.png"));
    gScroller = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/scroller.png"));
    SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/fade.png"));
}

void manetjakt::animateManet(float time) {
    RenderList* live = FirstList(gManet);
    if (!live) return;
    Array<RenderListVertex>& vertices = live->GetVertices();
    const Array<RenderListVertex>& rest = gRestCopy->GetVertices();
    for (int k = 0; k < vertices.Count() && k < rest.Count(); ++k) {
        const float s = 1.0f + 0.2f * std::sin(0.02f * rest[k].z + 10.0f * time);
        vertices[k].x = rest[k].x * s;
        vertices[k].y = rest[k].y * s;
    }
    live->Flush();
}

void manetjakt::renderForFxTime(float fxTime, float t, float, float) {
    const float n = static_cast<float>(SnareCount(t));
    BS::Matrix44 view;
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), n * n);
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), -1.0f);
    view.Translate(BS::Vector3(0.0f, 0.0f, -150.0f));
    const BS::Matrix44 projection = gCamera->GetProjectionMatrix();
    const BS::Matrix44 identity;

    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(gBackground);

    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    UseAttributeArrays(3);
    animateManet(t);
    BS::Matrix44 upsideDown;
    upsideDown.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), kPi);
    RenderPlaced(gManet, view, upsideDown, projection, identity);

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
    UseAttributeArrays(4);
    BS::Matrix44 pv = projection * view;
    const float dt = lLastTime > 0.0f ? fxTime - lLastTime : kFirstFrameStep;
    gEmission.Advance(dt, [] { gStream->AddParticle(manetjakt::StreamParticle(false)); });
    lLastTime = fxTime;
    gStream->Update(&pv, dt, 0.0f);
    gStream->Render(&pv);

    if (t > kScrollerStart) {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, gScroller);
        DemoSys::DrawRect(0.0f, 480.0f - 44.4f * (t - kScrollerStart), 480.0f, 630.0f, kHalfPi, DemoSys::kWhite);
        glDisable(GL_BLEND);
    }
    glDepthMask(GL_TRUE);
}
