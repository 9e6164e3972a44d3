// The render scale multiplies the logical sizes of the screen, every render target and their viewports; the upright
// picture read back from the scaled screen shows the landscape content's top on top.
#include <gtest/gtest.h>

#include <cmath>

#include "DemoSys/DemoSys.h"
#include "DemoSys/GLView.h"
#include "DemoSys/Host.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/RenderScale.h"
#include "GLTestSupport.h"
#include "Linux/Source/ScreenPicture.h"

namespace {

int gRedraws = 0;
void CountRedraw() { ++gRedraws; }

class RenderScaleTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        DemoSys::Init(&View());
    }
    void TearDown() override {
        Host::LimitRenderScale(Host::kMaxRenderScale);
        UseScale(1);
    }
    static void UseScale(float scale) {
        Host::SetRenderScale(scale);
        View().setFramebuffer();  // a frame's start applies it
    }
    static std::array<int, 2> Viewport() {
        GLint v[4];
        glGetIntegerv(GL_VIEWPORT, v);
        return {v[2], v[3]};
    }
    static std::array<int, 2> DepthSize() {
        GLint name = 0, width = 0, height = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                              &name);
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(name));
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
        return {width, height};
    }
};

}  // namespace

TEST_F(RenderScaleTest, TargetsMadeBeforeAChangeAreRemadeAtTheNewScaleKeepingTheirNames) {
    RenderBuffer shadow(256, 256, true), snapshot(320, 480, false);
    shadow.SetRedraw(CountRedraw);
    const GLuint texture = shadow.GetTexture(), framebuffer = shadow.GetFramebuffer();
    EXPECT_EQ(shadow.GetWidth(), 256);
    gRedraws = 0;

    UseScale(3);
    EXPECT_EQ(DemoSys::RenderScale(), 3);
    EXPECT_EQ(gRedraws, 1);
    EXPECT_EQ(Viewport(), (std::array<int, 2>{960, 1440}));
    EXPECT_EQ(DepthSize(), (std::array<int, 2>{960, 1440}));
    EXPECT_EQ(DemoSys::GetDefaultRenderTarget(), View().defaultFramebuffer);

    EXPECT_EQ(shadow.GetTexture(), texture);
    EXPECT_EQ(shadow.GetFramebuffer(), framebuffer);
    shadow.BindAsRenderTarget();
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(Viewport(), (std::array<int, 2>{768, 768}));
    EXPECT_EQ(DepthSize(), (std::array<int, 2>{768, 768}));
    snapshot.BindAsRenderTarget();
    EXPECT_EQ(Viewport(), (std::array<int, 2>{960, 1440}));
    DemoSys::ResetRenderTarget();
    EXPECT_EQ(Viewport(), (std::array<int, 2>{960, 1440}));

    // The same scale again remakes nothing.
    UseScale(3);
    EXPECT_EQ(gRedraws, 1);

    // Between whole numbers: every size in whole pixels, 1.5 times the logical.
    UseScale(1.5f);
    EXPECT_EQ(gRedraws, 2);
    EXPECT_EQ(DepthSize(), (std::array<int, 2>{480, 720}));
    shadow.BindAsRenderTarget();
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(Viewport(), (std::array<int, 2>{384, 384}));
    EXPECT_EQ(DepthSize(), (std::array<int, 2>{384, 384}));
    DemoSys::ResetRenderTarget();
    EXPECT_EQ(Viewport(), (std::array<int, 2>{480, 720}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A host's limit holds the scale below the one asked for, whichever of the two changes, until it is lifted.
TEST_F(RenderScaleTest, ALimitHoldsTheScaleBelowTheOneAskedForUntilLifted) {
    UseScale(3);
    Host::LimitRenderScale(2);
    View().setFramebuffer();
    EXPECT_EQ(DemoSys::RenderScale(), 2);
    EXPECT_EQ(View().framebufferWidth, 640);
    UseScale(1);
    EXPECT_EQ(DemoSys::RenderScale(), 1);
    UseScale(4);
    EXPECT_EQ(DemoSys::RenderScale(), 2);
    // No limit takes the screen below its own pixels.
    Host::LimitRenderScale(0);
    View().setFramebuffer();
    EXPECT_EQ(DemoSys::RenderScale(), 1);
    EXPECT_EQ(View().framebufferWidth, 320);
    Host::LimitRenderScale(Host::kMaxRenderScale);
    View().setFramebuffer();
    EXPECT_EQ(DemoSys::RenderScale(), 4);
    EXPECT_EQ(View().framebufferHeight, 1920);
}
