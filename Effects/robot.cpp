#include "robot.h"

#include <GLES2/gl2.h>

#include <cstdio>

#include "AnimatedScene.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "SceneSupport.h"

namespace {

AnimatedScene* gScene = nullptr;
RenderBuffer* gShadowStandIn = nullptr;  // white: nothing is in shadow
bool gLoaded = false;
float gPreviousTime = 0.0f;
float gAnimationTime = 0.0f;

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
    gScene = new AnimatedScene();
    if (!gScene->Load("Vantor", "07_robot2.mas")) return;
    Shader* shader = Shader::LoadShader(FxPath("/FxData/Common/Generic3D"));
    gScene->AssignShaders([shader](const std::string&) { return shader; }, false);
    gScene->LoadForContext();
    gShadowStandIn = new RenderBuffer(256, 256, true);
    gLoaded = true;
}

void robot::renderForFxTime(float, float t, float, float) {
    BeginSceneFrame(0.0f, 0.0f, 1.0f);

    gAnimationTime = Wrap(gAnimationTime + Step(t, gPreviousTime));
    gPreviousTime = t;
    // A scene that did not load has no camera either.
    DAS_CameraNode* node = nullptr;
    if (gLoaded) {
        gScene->Animate(gAnimationTime);
        node = gScene->CameraAt(gAnimationTime);
    }
    {
        if (!node) {
            printf("-");
        } else if (B3D_Camera* camera = node->Camera()) {
            gShadowStandIn->BindAsRenderTarget();
            glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            DemoSys::ResetRenderTarget();
            glActiveTexture(GL_TEXTURE1);
            gShadowStandIn->BindAsTexture();
            glActiveTexture(GL_TEXTURE0);
            gScene->Render(*camera);
        }
    }
    fflush(stdout);
}
