#include <gtest/gtest.h>

#include <cmath>

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
const float kHalfPi = static_cast<float>(M_PI / 2.0);

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
    // Row 0 red, row 1 blue.
    static GLuint TwoRowTexture() {
        static const unsigned char kRows[] = {255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255};
        return MakeTexture(2, 2, kRows);
    }
    // Column 0 red, column 1 blue.
    static GLuint TwoColumnTexture() {
        static const unsigned char kColumns[] = {255, 0, 0, 255, 0, 0, 255, 255};
        return MakeTexture(2, 1, kColumns);
    }
    static bool CornersCovered() {
        for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 479}, {319, 479}, {160, 240}})
            if (NearColour(Pixel(x, y), 0, 255, 0)) return false;
        return true;
    }
};

}  // namespace

TEST_F(RenderTargetTest, FullRectPutsTextureRowZeroAtTheTop) {
    TwoRowTexture();
    glEnable(GL_BLEND);  // the shared white is opaque: the picture covers what was there
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DemoSys::DrawRect(0, 0, 480, 320, 0, DemoSys::kWhite);
    glDisable(GL_BLEND);
    EXPECT_TRUE(CornersCovered());
    EXPECT_TRUE(NearColour(Pixel(160, 479), 255, 0, 0));  // GL's top row
    EXPECT_TRUE(NearColour(Pixel(160, 0), 0, 0, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, NegativeHeightFlipsRowZeroToTheBottom) {
    TwoRowTexture();
    DemoSys::mShader2D->BindShader();
    DemoSys::DrawRectWithShader(DemoSys::mShader2D, 0, 320, 480, -320, 0, kWhite);
    EXPECT_TRUE(CornersCovered());
    EXPECT_TRUE(NearColour(Pixel(160, 479), 0, 0, 255));
    EXPECT_TRUE(NearColour(Pixel(160, 0), 255, 0, 0));
}

TEST_F(RenderTargetTest, QuarterTurnFillsThePortraitScreen) {
    TwoColumnTexture();
    DemoSys::DrawRect(0, 0, 480, 320, kHalfPi, kWhite);
    EXPECT_TRUE(CornersCovered());
    // The landscape picture's left edge turns to the screen's top.
    EXPECT_TRUE(NearColour(Pixel(160, 470), 255, 0, 0));
    EXPECT_TRUE(NearColour(Pixel(160, 10), 0, 0, 255));
}

TEST_F(RenderTargetTest, RectanglesMapFromTheLandscapeSpace) {
    TwoRowTexture();
    // The left half of the 480-wide space is the left half of the viewport.
    DemoSys::DrawRect(0, 0, 240, 320, 0, kWhite);
    EXPECT_FALSE(NearColour(Pixel(80, 240), 0, 255, 0));
    EXPECT_TRUE(NearColour(Pixel(240, 240), 0, 255, 0));
}

TEST_F(RenderTargetTest, ColourUniformTintsTheQuad) {
    static const unsigned char kWhitePixel[] = {255, 255, 255, 255};
    MakeTexture(1, 1, kWhitePixel);
    const float red[4] = {1, 0, 0, 1};
    DemoSys::DrawRect(0, 0, 480, 320, 0, red);
    EXPECT_TRUE(NearColour(Pixel(100, 100), 255, 0, 0));
}

// White draws the picture byte for byte, alpha included; any other colour,
// however near white, multiplies every channel.
TEST_F(RenderTargetTest, WhiteDrawsThePictureAsItIsAndOtherColoursScaleIt) {
    static const unsigned char kTexel[] = {200, 100, 50, 128};
    MakeTexture(1, 1, kTexel);
    DemoSys::DrawRect(0, 0, 480, 320, 0, kWhite);
    EXPECT_EQ(Pixel(100, 100), (std::array<int, 4>{200, 100, 50, 128}));
    // A white quad is the cheaper copy shader's; any other the 2D shader's.
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_NE(static_cast<GLuint>(program), DemoSys::mShader2D->GetProgram());
    const float halfAlpha[4] = {1, 1, 1, 0.5f};
    DemoSys::DrawRect(0, 0, 480, 320, 0, halfAlpha);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(static_cast<GLuint>(program), DemoSys::mShader2D->GetProgram());
    EXPECT_NEAR(Pixel(100, 100)[3], 64, 1);
    EXPECT_EQ(Pixel(100, 100)[0], 200);
    const float dimRed[4] = {0.5f, 1, 1, 1};
    DemoSys::DrawRect(0, 0, 480, 320, 0, dimRed);
    EXPECT_NEAR(Pixel(100, 100)[0], 100, 1);
    EXPECT_EQ(Pixel(100, 100)[3], 128);
}

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
    while (glGetError() != GL_NO_ERROR) {
    }
    const StreamingVertexBuffer stream(16);
    const unsigned char bytes[32] = {};
    stream.Stream(bytes, sizeof bytes, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    stream.Stream(bytes, sizeof bytes);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    stream.Stream(bytes, 4, 16);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    StreamingVertexBuffer::Unbind();
}

// A stream holds one buffer of its own, for as long as it lives. The driver
// hands out buffer names in turn, so the names around it show how many it took.
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

TEST_F(RenderTargetTest, InitLoadsTheSharedShaderOnce) {
    Shader* first = DemoSys::mShader2D;
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->GetProgram(), 0u);
    DemoSys::Init(&View());
    EXPECT_EQ(DemoSys::mShader2D, first);
}

TEST_F(RenderTargetTest, RenderBufferIsCompleteWithOrWithoutDepth) {
    for (bool depth : {false, true}) {
        DemoSys::ResetRenderTarget();
        RenderBuffer target(64, 32, depth);
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), View().defaultFramebuffer);  // restored

        target.BindAsRenderTarget();
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        GLint type = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
        EXPECT_EQ(type, depth ? GL_RENDERBUFFER : GL_NONE);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 64);
        EXPECT_EQ(viewport[3], 32);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, RenderedTargetCanBeDrawnAsTexture) {
    RenderBuffer target(32, 32, false);
    target.BindAsRenderTarget();
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    DemoSys::ResetRenderTarget();
    glActiveTexture(GL_TEXTURE0);
    target.BindAsTexture();
    DemoSys::DrawRect(0, 0, 480, 320, 0, kWhite);
    EXPECT_TRUE(NearColour(Pixel(160, 240), 255, 0, 255));
}

TEST_F(RenderTargetTest, ViewReusesItsFramebufferUntilLayoutChanges) {
    GLView& view = View();
    const GLuint framebuffer = view.defaultFramebuffer;
    view.setFramebuffer();
    EXPECT_EQ(view.defaultFramebuffer, framebuffer);
    view.setContext(view.context());  // same context: the framebuffer survives
    EXPECT_EQ(view.defaultFramebuffer, framebuffer);
    EXPECT_EQ(DemoSys::GetDefaultRenderTarget(), framebuffer);

    view.layoutSubviews();
    EXPECT_EQ(view.defaultFramebuffer, 0u);
    view.setFramebuffer();
    EXPECT_NE(view.defaultFramebuffer, 0u);
    EXPECT_EQ(view.framebufferWidth, 320);
    EXPECT_EQ(view.framebufferHeight, 480);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 16);
}

TEST_F(RenderTargetTest, AViewThatMadeNothingDeletesNothing) {
    // In a context of its own the first texture, framebuffer and renderbuffer
    // are named 1: a view that never drew must leave them alone when it lays
    // out again or goes.
    // Kept to the end: closing a headless surface ends the display that the
    // test program's own context shares.
    static DisplaySurface* other = CreateHeadlessSurface().release();
    ASSERT_TRUE(other && other->MakeCurrent());
    const unsigned char pixel[4] = {9, 9, 9, 255};
    GLuint texture = MakeTexture(1, 1, pixel), framebuffer = 0, renderbuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    ASSERT_EQ(texture + framebuffer + renderbuffer, 3u);
    {
        GLView idle;
        idle.setContext(other);
        idle.layoutSubviews();
    }
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_TRUE(glIsFramebuffer(framebuffer));
    EXPECT_TRUE(glIsRenderbuffer(renderbuffer));
    ASSERT_TRUE(View().context()->MakeCurrent());
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
