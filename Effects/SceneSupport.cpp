#include "SceneSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "B3D/Source/B3D_Camera.h"
#include "BS/Export/BS_Math.h"
#include "DemoSys/Beats.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/ObjReader.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"

std::string FxPath(const char* relative) { return Bundle::Path() + relative; }

const float kSparkGold[3] = {222.0f / 255.0f, 173.0f / 255.0f, 3.0f / 255.0f};

void StartAtHome(Particle& particle) {
    for (int i = 0; i < 3; ++i) particle.home[i] = particle.position[i];
}

float RandomOver(int bits) { return std::ldexp(static_cast<float>(rand()), -bits); }

void DrawFullScreen(GLuint texture) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    DemoSys::DrawRect(0.0f, 0.0f, 480.0f, 320.0f, kHalfPi, DemoSys::kWhite);
}

void UseAttributeArrays(int count) {
    for (int i = 0; i < 4; ++i) {
        if (i < count) glEnableVertexAttribArray(static_cast<GLuint>(i));
        else glDisableVertexAttribArray(static_cast<GLuint>(i));
    }
}

SimpleModel* LoadSceneModel(const char* folder, const char* fileName, unsigned primitive) {
    return GetObjectReader()->LoadObj(Bundle::Path(), FxPath(folder), fileName, 1.0f, primitive);
}

void RenderPlaced(SimpleModel* model, const BS::Matrix44& view, const BS::Matrix44& local,
                  const BS::Matrix44& projection, const BS::Matrix44& second) {
    if (!model) return;
    model->mTransform = view * local;
    model->Render(projection, second);
}

void BeginSceneFrame(float red, float green, float blue) {
    glClearColor(red, green, blue, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    UseAttributeArrays(3);
}

ParticleEngine* NewParticleEngine(int capacity, const char* texture, float worldSize, const char* field,
                                  std::vector<float>& cells) {
    auto* engine = new ParticleEngine(capacity, texture);
    engine->SetWorldSize(worldSize);
    printf("--> LOADING FORCE FIELD!\n");
    if (ReadForceFieldFile(FxPath(field), cells)) engine->SetForceField(cells.data());
    return engine;
}

void WarmUpSparks(ParticleEngine& sparks) {
    BS::Matrix44 identity;
    for (int i = 0; i < 120; ++i) sparks.Update(&identity, 0.033333335f, 0.0f);
}

void DrawSparks(const ParticleEngine& sparks, const SimpleCamera& lens, const B3D_Camera& camera) {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
    UseAttributeArrays(4);
    BS::Matrix44 turn;
    turn.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    const BS::Matrix44 pvc = lens.GetProjectionMatrix() * turn * camera.View();
    sparks.Render(&pvc);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}

int SnareCount(float t) {
    if (t <= snare[0]) return 0;
    for (int i = 1; i < kSnareCount; ++i)
        if (!(snare[i] < t)) return i;
    return kSnareCount;
}
