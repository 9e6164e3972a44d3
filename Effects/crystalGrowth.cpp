#include "crystalGrowth.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cmath>

#include "BS/Export/BS_Math.h"
#include "DemoSys/Beats.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "SceneSupport.h"

namespace {

constexpr int kAlwaysDrawn = 4;
constexpr int kMostShards = 60;

// Everything the scene keeps between calls: what load builds.
struct State {
    SimpleModel* crystal = nullptr;
    SimpleModel* room = nullptr;
    SimpleModel* arm = nullptr;
    SimpleCamera* camera = nullptr;
    RenderBuffer* snapshot = nullptr;
};
State gState;

BS::Matrix44 RoomView(float tilt, float turn) {
    BS::Matrix44 view;
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), tilt);
    view.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), turn);
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    view.Translate(BS::Vector3(0.0f, 0.0f, -40.0f));
    return view;
}

void RenderSnapshot() {
    gState.snapshot->BindAsRenderTarget();
    BeginSceneFrame(0.0f, 0.0f, 0.0f);
    RenderPlaced(gState.room, RoomView(0.2f, -1.0f), BS::Matrix44(), gState.camera->GetProjectionMatrix(),
                 BS::Matrix44());
    DemoSys::ResetRenderTarget();
}

}  // namespace

int crystalGrowth::ShardCount(float t) {
    int i = kAlwaysDrawn;
    while (i < kBassCount && i < kMostShards && bass[i] < t) ++i;
    return i;
}

float crystalGrowth::ShardGrowth(float t, int shard) { return std::min(1.0f, 5.0f * std::fabs(t - bass[shard])); }

bool crystalGrowth::FirstViewpoint(float t) { return SnareCount(t) % 2 == 0; }

BS::Matrix44 crystalGrowth::Spin(float t) {
    const float s = 52.2f < t && t < 58.0f ? 100.0f : 1.0f;
    BS::Matrix44 spin;
    spin.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), s * t);
    spin.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), 1.5f * s * t);
    spin.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), 2.0f * s * t);
    return spin;
}

BS::Matrix44 crystalGrowth::MainPlacement() {
    BS::Matrix44 placement;
    placement.Scale(BS::Vector3(2.0f, 1.0f, 2.0f));
    placement.Translate(BS::Vector3(0.0f, -10.0f, 0.0f));
    return placement;
}

BS::Matrix44 crystalGrowth::ShardPlacement(float t, int shard) {
    const float g = ShardGrowth(t, shard);
    const float fi = static_cast<float>(shard);
    BS::Matrix44 placement;
    placement.Scale(BS::Vector3(g, g + 0.01f * fi * g, g));
    placement.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), 137.0f * fi);
    placement.Rotate(BS::Vector3(-1.0f, 0.0f, 1.0f), 234.0f * fi);
    placement.Rotate(BS::Vector3(0.2f, 1.0f, 0.0f), 349.0f * fi);
    return placement;
}

void crystalGrowth::load() {
    gState.crystal = LoadSceneModel("/FxData/crystalGrowth/", "crystal.obj");
    gState.room = LoadSceneModel("/FxData/crystalGrowth/", "room.obj");
    gState.arm = LoadSceneModel("/FxData/crystalGrowth/", "arm.obj");
    Shader* shader = Shader::LoadShader(FxPath("/FxData/crystalGrowth/EnvShader"));
    if (gState.crystal) gState.crystal->SetShaderProgram(shader);
    gState.camera = new SimpleCamera();
    gState.snapshot = new RenderBuffer(320, 480, false);
    CheckGLError("RENDERBUFFER");
    RenderSnapshot();
    gState.snapshot->SetRedraw(RenderSnapshot);
}

void crystalGrowth::drawForFxTime(float, float t, float, float) {
    BeginSceneFrame(0.0f, 0.0f, 0.0f);

    const bool first = FirstViewpoint(t);
    const BS::Matrix44 view = RoomView(first ? 0.2f : -0.2f, first ? t - 1.0f : t + 2.0f);
    const BS::Matrix44 projection = gState.camera->GetProjectionMatrix();
    const BS::Matrix44 identity;

    RenderPlaced(gState.room, view, identity, projection, identity);
    RenderPlaced(gState.arm, view, identity, projection, identity);

    const BS::Matrix44 spunView = view * Spin(t);

    glActiveTexture(GL_TEXTURE1);
    gState.snapshot->BindAsTexture();
    glActiveTexture(GL_TEXTURE0);

    RenderPlaced(gState.crystal, spunView, MainPlacement(), projection, identity);

    const int shards = ShardCount(t);
    for (int i = 0; i < shards; ++i) {
        RenderPlaced(gState.crystal, spunView, ShardPlacement(t, i), projection, identity);
    }
}
