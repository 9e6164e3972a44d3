// The 2D drawing's streams, render targets and view on headless GL: the GL state they leave and their error paths;
// their pictures are the reference frames'.
#include <gtest/gtest.h>

#include "DemoSys/DemoLog.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/GLView.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/StreamingVertexBuffer.h"
#include "GLTestSupport.h"
#include "Linux/Source/DisplaySurface.h"
#include "TempTree.h"

namespace {

const float kWhite[4] = {1, 1, 1, 1};

class RenderTargetTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        DemoSys::Init(&View());
        DemoSys::ResetRenderTarget();
        glDisable(GL_BLEND);
        glClearColor(0, 1, 0, 1);  // green: whatever no quad covered
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

}  // namespace

TEST_F(RenderTargetTest, ShaderWithoutColourUniformStillDraws) {
    TempTree tree;
    tree.Write("flat.vsh", "attribute vec2 pos;\nvoid main() { gl_Position = vec4(pos, 0.0, 1.0); }\n");
    tree.Write("flat.fsh", "precision mediump float;\nvoid main() { gl_FragColor = vec4(1.0, 1.0, 0.0, 1.0); }\n");
    Shader* flat = Shader::LoadShader(tree.Path() + "/flat");
    ASSERT_EQ(flat->GetUniformColor(), -1);
    flat->BindShader();
    testing::internal::CaptureStdout();
    DemoSys::DrawRectWithShader(flat, 0, 0, 480, 320, 0, kWhite);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no " glError" line
    EXPECT_TRUE(NearColour(Pixel(160, 240), 255, 255, 0));

    // A colour as the program's only uniform sits at location 0.
    tree.Write("tint.vsh", "attribute vec2 pos;\nvoid main() { gl_Position = vec4(pos, 0.0, 1.0); }\n");
    tree.Write("tint.fsh", "precision mediump float;\nuniform vec4 color;\nvoid main() { gl_FragColor = color; }\n");
    Shader* tint = Shader::LoadShader(tree.Path() + "/tint");
    ASSERT_EQ(tint->GetUniformColor(), 0);
    tint->BindShader();
    const float blue[4] = {0, 0, 1, 1};
    DemoSys::DrawRectWithShader(tint, 0, 0, 480, 320, 0, blue);
    EXPECT_TRUE(NearColour(Pixel(160, 240), 0, 0, 255));
    GLint buffer = -1;  // the streamed quad leaves no buffer bound for the draws that follow
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(buffer, 0);
    const StreamingVertexBuffer made(64);  // nor does making a stream
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(buffer, 0);
}

// A stream cut at the buffer's end writes what fits and raises no GL error;
// one that starts past the end writes nothing.
TEST_F(RenderTargetTest, AStreamLongerThanItsBufferWritesWhatFits) {
    const StreamingVertexBuffer stream(16);
    const unsigned char bytes[32] = {};
    for (const auto& [size, offset] : {std::pair<size_t, size_t>{sizeof bytes, 8}, {sizeof bytes, 0}, {4, 16}}) {
        stream.Stream(bytes, size, offset);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << size << " bytes at " << offset;
    }
    StreamingVertexBuffer::Unbind();
}

// A stream holds one buffer of its own while it lives: the driver's names in turn around it show how many it took.
TEST_F(RenderTargetTest, AStreamHoldsOneBufferNameWhileItLives) {
    GLuint before = 0, after = 0;
    GLint own = 0;
    glGenBuffers(1, &before);
    {
        const StreamingVertexBuffer stream(16);
        const unsigned char bytes[4] = {};
        stream.Stream(bytes, sizeof bytes);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &own);
        StreamingVertexBuffer::Unbind();
        glGenBuffers(1, &after);
        EXPECT_TRUE(glIsBuffer(static_cast<GLuint>(own)));
    }
    EXPECT_EQ(static_cast<GLuint>(own), before + 1);
    EXPECT_EQ(after, before + 2);
    EXPECT_FALSE(glIsBuffer(static_cast<GLuint>(own)));
    glDeleteBuffers(1, &before);
    glDeleteBuffers(1, &after);
}

TEST_F(RenderTargetTest, AGLErrorIsPrintedWithItsTagOnce) {
    testing::internal::CaptureStdout();
    CheckGLError("quiet");
    glEnable(0x7fff);  // no such capability
    CheckGLError("probe");
    CheckGLError("after");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " glError: 0x 500> probe\n");
}

// Sizes and completeness at every scale are RenderScaleTest's; here the screen's framebuffer left bound, and a
// target without depth has none.
TEST_F(RenderTargetTest, ARenderBufferLeavesTheScreenBoundAndHasDepthOnlyIfAsked) {
    for (bool depth : {false, true}) {
        RenderBuffer target(64, 32, depth);
        GLint bound = 0, type = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), View().defaultFramebuffer);
        target.BindAsRenderTarget();
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        const GLenum what = GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, what, &type);
        EXPECT_EQ(type, depth ? GL_RENDERBUFFER : GL_NONE);
        DemoSys::ResetRenderTarget();
    }
}

TEST_F(RenderTargetTest, ViewReusesItsFramebufferInTheSameContext) {
    GLView& view = View();
    const GLuint framebuffer = view.defaultFramebuffer;
    view.setFramebuffer();
    EXPECT_EQ(view.defaultFramebuffer, framebuffer);
    view.setContext(view.context());  // same context: the framebuffer survives
    EXPECT_EQ(view.defaultFramebuffer, framebuffer);
    EXPECT_EQ(DemoSys::GetDefaultRenderTarget(), framebuffer);
}

// In a context of its own (kept to the end: closing a headless surface ends the display that the program's own
// context shares) the first texture, framebuffer and renderbuffer are named 1: a view that never drew must leave
// them alone when it lays out again or goes.
TEST_F(RenderTargetTest, AViewThatMadeNothingDeletesNothing) {
    static DisplaySurface* other = CreateHeadlessSurface().release();
    ASSERT_TRUE(other && other->MakeCurrent());
    static const std::array<GLuint, 3> names = [] {
        const unsigned char pixel[4] = {9, 9, 9, 255};
        std::array<GLuint, 3> made = {MakeTexture(1, 1, pixel), 0, 0};
        glGenFramebuffers(1, &made[1]);
        glBindFramebuffer(GL_FRAMEBUFFER, made[1]);
        glGenRenderbuffers(1, &made[2]);
        glBindRenderbuffer(GL_RENDERBUFFER, made[2]);
        return made;
    }();
    {
        GLView idle;
        idle.setContext(other);
        idle.layoutSubviews();
    }
    const bool kept = glIsTexture(names[0]) && glIsFramebuffer(names[1]) && glIsRenderbuffer(names[2]);
    ASSERT_TRUE(View().context()->MakeCurrent());
    EXPECT_EQ(names, (std::array<GLuint, 3>{1, 1, 1}));
    EXPECT_TRUE(kept);
}

TEST_F(RenderTargetTest, ATargetMadeWhileAnotherUnitIsActiveLeavesThatUnitsTexture) {
    const unsigned char pixel[4] = {1, 2, 3, 255};
    glActiveTexture(GL_TEXTURE1);
    const GLuint shadowLike = MakeTexture(1, 1, pixel);  // MakeTexture works on unit 0
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowLike);
    ASSERT_NE(shadowLike, 0u);
    RenderBuffer target(64, 32, false);
    glActiveTexture(GL_TEXTURE1);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), shadowLike);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(1, &shadowLike);
}
