#include "robot.h"

#include <GLES2/gl2.h>

#include <cstdio>

#include "AnimatedScene.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/ShowMemory.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "SceneSupport.h"

namespace {

// Everything the scene keeps between calls: what load builds, and the motion
// that each frame advances and that carries over across cuts.
struct State {
    AnimatedScene* scene = nullptr;
    RenderBuffer* shadowStandIn = nullptr;  // white: nothing is in shadow
    bool loaded = false;
    struct Motion {
        float previousTime = 0.0f;
        float animationTime = 0.0f;
    } motion;
};
State gState;

}  // namespace

float robot::Step(float t, float previous) {
    const float dt = t - previous;
    return dt < kFirstFrameStep ? kFirstFrameStep : (dt > 0.05f ? 0.05f : dt);
}

float robot::Wrap(float time) {
    if (time <= 10.0f) return time;
    printf("\n == %f == \n", time);
    return time - 9.0f;
}

void robot::load() {
    gState.scene = new AnimatedScene();
    if (!gState.scene->Load("Vantor", "07_robot2.mas")) return;
    Shader* shader = Shader::LoadShader(FxPath("/FxData/Common/Generic3D"));
    gState.scene->AssignShaders([shader](const std::string&) { return shader; }, false);
    gState.scene->LoadForContext();
    gState.shadowStandIn = new RenderBuffer(256, 256, true);
    gState.loaded = true;
}

void robot::Rewind() { gState.motion = State::Motion(); }

void robot::RegisterState(ShowMemory& memory) { memory.Add(gState.motion); }

void robot::advanceForFxTime(float, float t, float, float) {
    gState.motion.animationTime = Wrap(gState.motion.animationTime + Step(t, gState.motion.previousTime));
    gState.motion.previousTime = t;
}

void robot::drawForFxTime(float, float, float, float) {
    BeginSceneFrame(0.0f, 0.0f, 1.0f);

    // A scene that did not load has no camera either.
    DAS_CameraNode* node = nullptr;
    if (gState.loaded) {
        gState.scene->Animate(gState.motion.animationTime);
        node = gState.scene->CameraAt(gState.motion.animationTime);
    }
    {
        if (!node) {
            printf("-");
        } else if (B3D_Camera* camera = node->Camera()) {
            gState.shadowStandIn->BindAsRenderTarget();
            glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            DemoSys::ResetRenderTarget();
            glActiveTexture(GL_TEXTURE1);
            gState.shadowStandIn->BindAsTexture();
            glActiveTexture(GL_TEXTURE0);
            gState.scene->Render(*camera);
        }
    }
    fflush(stdout);
}
