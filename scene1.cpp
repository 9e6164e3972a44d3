#include "scene1.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/RenderScale.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "Effects/SceneSupport.h"

namespace {

constexpr int kShards = 18;
const char* const shardname[kShards] = {"ball_0.obj", "ball_1.obj", "ball_2.obj", "ball_3.obj", "ball_4.obj",
                                        "ball5.obj",  "ball6.obj",  "ball7.obj",  "ball8.obj",  "ball9.obj",
                                        "ball10.obj", "ball11.obj", "ball12.obj", "ball13.obj", "ball14.obj",
                                        "ball15.obj", "ball16.obj", "ball17.obj"};

// Glitch windows: start and length in seconds.
constexpr int kSpools = 9;
const float spool[kSpools] = {5.51f, 10.52f, 11.40f, 11.51f, 17.51f, 18.51f, 25.5f, 127.41f, 139.41f};
const float spoolLength[kSpools] = {0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 2.0f, 0.2f, 0.1f};

constexpr float kCapHeight = 20.0f;  // small balls sit on the wire sphere's cap above this z

// Everything the scene keeps between calls: what load builds.
struct State {
    Shader* envShader = nullptr;
    Shader* envShader2 = nullptr;
    SimpleModel* heartBall = nullptr;
    SimpleModel* tinyBall = nullptr;
    SimpleModel* wireSphere = nullptr;
    SimpleModel* solidSphere = nullptr;
    SimpleModel* shards[kShards] = {};
    GLuint background = 0;
    GLuint flash = 0;
    GLuint envMap = 0;
    SimpleCamera* camera = nullptr;
    std::vector<BS::Vector3> tinyBallPosition;
    unsigned tinyBalls = 0;
    float spooledTime = 0.0f;  // the clock of the frame advanced last
};
State gState;

SimpleModel* LoadWithShader(const char* folder, const char* name, Shader* shader) {
    SimpleModel* model = LoadSceneModel(folder, name);
    if (model) model->SetShaderProgram(shader);
    return model;
}

void BuildTinyBallList() {
    if (!gState.wireSphere || gState.wireSphere->GetRenderLists().empty()) {
        DemoNote("We made a list with %i tiny balls.", 0);
        return;
    }
    const Array<RenderListVertex>& vertices = gState.wireSphere->GetRenderLists()[0]->GetVertices();
    gState.tinyBallPosition.reserve(static_cast<size_t>(vertices.Count()));
    for (int i = 0; i < vertices.Count(); ++i) {
        const RenderListVertex& v = vertices[i];
        if (v.z > kCapHeight) {
            gState.tinyBallPosition.emplace_back(v.x, v.y, v.z);
            ++gState.tinyBalls;
        }
    }
    DemoNote("We made a list with %i tiny balls.", static_cast<int>(gState.tinyBalls));
}

float Squared(float x) { return x * x; }

BS::Matrix44 UniformScale(float s) {
    BS::Matrix44 m;
    m.Scale(BS::Vector3(s, s, s));
    return m;
}

void DrawShards(float t, const BS::Matrix44& view, const BS::Matrix44& projection, const BS::Matrix44& identity) {
    const float u = (t - 20.0f) * 0.25f;
    const float f = std::fabs(u) <= 1.0f ? std::fabs(u) : u * u;
    for (int i = 0; i < kShards; ++i) {
        SimpleModel* shard = gState.shards[i];
        if (!shard || shard->GetRenderLists().empty() || shard->GetRenderLists()[0]->GetVertices().Count() == 0)
            continue;
        const RenderListVertex& v0 = shard->GetRenderLists()[0]->GetVertices()[0];
        const float fi = static_cast<float>(i);
        BS::Matrix44 local = UniformScale(0.6f);
        local.Rotate(BS::Vector3(std::sin(fi), std::sin(2.0f * fi), std::sin(3.0f * fi)), 3.0f * f);
        local.Translate(BS::Vector3(v0.x, v0.y, v0.z) * f);
        RenderPlaced(shard, view, local, projection, identity);
    }
}

void DrawTinyBalls(float t, const BS::Matrix44& view, const BS::Matrix44& projection, const BS::Matrix44& identity) {
    const float a = std::fabs((10.0f - t) * 0.1f);
    const float e = a <= 1.0f ? 1.0f - std::cos(a * kHalfPi) : a * a;
    for (unsigned j = 0; j < gState.tinyBalls; j += 9) {
        const BS::Vector3& p = gState.tinyBallPosition[j];
        const float fj = static_cast<float>(j);
        BS::Matrix44 local = UniformScale(1.3f + 0.3f * std::sin(fj));
        local.Translate(BS::Vector3(p.x * (1.0f - e) + 300.0f * e * std::sin(fj),
                                    p.y * (1.0f - e) + 200.0f * e * std::cos(fj), p.z));
        RenderPlaced(gState.tinyBall, view, local, projection, identity);
    }
}

}  // namespace

float scene1::SpooledTime(float t) {
    for (int i = 0; i < kSpools; ++i)
        if (spool[i] < t && spool[i] + spoolLength[i] > t)
            t -= static_cast<float>(rand() % static_cast<int>(spool[i]));
    return t;
}

void scene1::load() {
    gState.envShader = Shader::LoadShader(FxPath("/FxData/Scene1/EnvShader"));
    gState.envShader2 = Shader::LoadShader(FxPath("/FxData/Scene1/EnvShader2"));
    gState.heartBall = LoadWithShader("/FxData/Scene1/", "heartball.obj", gState.envShader);
    gState.tinyBall = LoadWithShader("/FxData/Scene1/", "tinyball.obj", gState.envShader2);
    for (int i = 0; i < kShards; ++i)
        gState.shards[i] = LoadWithShader("/FxData/Scene1/shards/", shardname[i], gState.envShader2);
    gState.wireSphere = LoadSceneModel("/FxData/Scene1/", "wiresphere.obj", GL_LINES);
    if (gState.wireSphere) gState.wireSphere->SetPrimitiveType(GL_LINES);
    gState.solidSphere = LoadWithShader("/FxData/Scene1/", "solidsphere.obj", gState.envShader2);
    BuildTinyBallList();
    gState.background = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene1/bg.png"));
    gState.flash = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene1/wire.png"));
    gState.camera = new SimpleCamera();
    gState.envMap = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/Scene1/envmap.png"));
}

void scene1::advanceForFxTime(float, float demoTime, float, float) { gState.spooledTime = SpooledTime(demoTime); }

void scene1::drawForFxTime(float, float, float, float) {
    const float t = gState.spooledTime;

    BS::Matrix44 view;
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), 0.2f * t + kHalfPi);
    view.Translate(BS::Vector3(0.0f, 0.0f, -100.0f - t));
    const BS::Matrix44 projection = gState.camera->GetProjectionMatrix();
    const BS::Matrix44 identity;

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(gState.background);

    gState.envShader2->BindShader();
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gState.envMap);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_DEPTH_TEST);

    if (t < 10.0f)
        RenderPlaced(gState.heartBall, view, UniformScale(1.0f + 0.1f * Squared(std::sin(5.0f * t))), projection,
                     identity);
    if (t > 20.0f) DrawShards(t, view, projection, identity);
    DrawTinyBalls(t, view, projection, identity);
    if (t < 10.0f) {
        // One logical pixel wide at any render scale.
        glLineWidth(static_cast<float>(DemoSys::RenderScale()));
        RenderPlaced(gState.wireSphere, view, UniformScale(1.0f + 0.05f * Squared(std::sin(5.0f * t + 0.2f))),
                     projection, identity);
    } else if (t < 20.0f) {
        RenderPlaced(gState.solidSphere, view, identity, projection, identity);
    }

    if (19.95f < t && t < 20.05f) {
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        DrawFullScreen(gState.flash);
    }
}
