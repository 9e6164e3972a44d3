// Every scene draws the same picture whatever GL state the draw before it left: a seek plays frames undrawn but
// for the scenes that keep pixels, so the scene drawn after a seek follows another draw than in a whole run. Each
// scene is drawn once in the state the show's composite leaves, then again after each piece of state is flipped.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DemoSys/DemoSys.h"
#include "DemoSys/Timeline.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
#include "Effects/particleScene.h"
#include "Effects/robot.h"
#include "Effects/sawblade.h"
#include "Effects/tunnel.h"
#include "GLTestSupport.h"
#include "scene1.h"

namespace {

// State a draw may find: each changed from what the composite leaves so that a draw reading it draws otherwise.
struct Flip {
    const char* what;
    std::function<void()> apply;
};

GLuint JunkBuffer(GLenum target) {
    static GLuint buffers[2] = {};
    GLuint& buffer = buffers[target == GL_ARRAY_BUFFER ? 0 : 1];
    if (!buffer) {
        // Zeros, large enough that any offset a scene passes as a pointer stays inside it.
        const std::vector<unsigned char> zeros(1 << 22);
        glGenBuffers(1, &buffer);
        glBindBuffer(target, buffer);
        glBufferData(target, static_cast<GLsizeiptr>(zeros.size()), zeros.data(), GL_STATIC_DRAW);
    }
    return buffer;
}

const std::vector<Flip>& Flips() {
    static const std::vector<Flip> flips = {
        {"culling on, front faces, clockwise", [] { glEnable(GL_CULL_FACE), glCullFace(GL_FRONT), glFrontFace(GL_CW); }},
        {"blending on, keeping the target", [] { glEnable(GL_BLEND), glBlendFunc(GL_ZERO, GL_ONE); }},
        {"the depth test on", [] { glEnable(GL_DEPTH_TEST); }},
        {"the depth mask off", [] { glDepthMask(GL_FALSE); }},
        {"every attribute array off", [] { for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i); }},
        {"a vertex buffer bound", [] { glBindBuffer(GL_ARRAY_BUFFER, JunkBuffer(GL_ARRAY_BUFFER)); }},
        {"an index buffer bound", [] { glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, JunkBuffer(GL_ELEMENT_ARRAY_BUFFER)); }},
        {"another texture unit active", [] { glActiveTexture(GL_TEXTURE3); }},
    };
    return flips;
}

// Back to what the composite leaves every frame (and GL's own defaults where it sets nothing).
void ComposedState() {
    DemoSys::ResetRenderTarget();
    glDisable(GL_CULL_FACE), glCullFace(GL_BACK), glFrontFace(GL_CCW);
    glDisable(GL_BLEND), glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_DEPTH_TEST), glDepthMask(GL_TRUE);
    for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i);
    glBindBuffer(GL_ARRAY_BUFFER, 0), glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
}

class SceneState : public SceneTest {
protected:
    // The scene advanced to demo time t as the timeline calls it, then drawn in the composite's state and after
    // each flip; every picture must be the first's.
    static void ExpectDrawnAlike(Effect& scene, double t, double origin, double length) {
        const float fxTime = static_cast<float>(t - origin);
        const float demoTime = static_cast<float>(t);
        const float progress = static_cast<float>(fxTime / length);
        testing::internal::CaptureStdout();
        scene.advanceForFxTime(fxTime, demoTime, progress, 0.0f);
        testing::internal::GetCapturedStdout();
        const auto draw = [&] {
            testing::internal::CaptureStdout();
            scene.drawForFxTime(fxTime, demoTime, progress, 0.0f);
            testing::internal::GetCapturedStdout();
            DemoSys::ResetRenderTarget();
            return ReadScreenRGBA();
        };
        ComposedState();
        const std::vector<unsigned char> composed = draw();
        for (const Flip& flip : Flips()) {
            ComposedState();
            flip.apply();
            EXPECT_TRUE(draw() == composed) << "at " << t << " s, after " << flip.what;
        }
        ComposedState();
    }
};

TEST_F(SceneState, EverySceneDrawsAloneWhateverStateItFinds) {
    ExpectDrawnAlike(Loaded<scene1>(), 12.0, 0.0, 29.6);
    ExpectDrawnAlike(Loaded<scene1>(), 25.0, 0.0, 29.6);
    ExpectDrawnAlike(Loaded<crystalGrowth>(), 45.0, kGrynEnd, 52.4);
    ExpectDrawnAlike(Loaded<robot>(), 69.0, kGrynEnd, 52.4);
    ExpectDrawnAlike(Loaded<tunnel>(), 75.0, kGrynEnd, 52.4);
    ExpectDrawnAlike(Loaded<particleScene>(), 84.0, 82.0, 139.4 - 82.0);
    ExpectDrawnAlike(Loaded<sawblade>(), 112.0, kGrynEnd, 52.4);
    ExpectDrawnAlike(Loaded<overlay>(), 130.0, 127.5, kOverlayEnd - 127.5);
    ExpectDrawnAlike(Loaded<manetjakt>(), 142.0, kOverlayEnd, 105.0);
}

}  // namespace
