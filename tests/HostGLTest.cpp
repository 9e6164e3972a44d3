// The hosts' parts that need GL: the last pass, which fits the finished portrait screen into a drawable, turned so
// that its right edge is the picture's top, and leaves the demo's draw state as it was; the view controller.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "DemoSys/GLView.h"
#include "DemoSys/Host.h"
#include "DemoSys/UprightBlit.h"
#include "GLTestSupport.h"
#include "Linux/Source/DisplaySurface.h"
#include "Linux/Source/RunLoop.h"
#include "kestrel_linuxViewController.h"

namespace {

class UprightBlitTest : public GLTest {
protected:
    // A portrait screen: red on its left half, green on its right; blue on its top half.
    static GLuint Screen() {
        std::vector<unsigned char> rgba(320 * 480 * 4);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 320; ++x) {
                unsigned char* p = &rgba[(y * 320 + x) * 4];
                p[0] = x < 160 ? 255 : 0;
                p[1] = x < 160 ? 0 : 255;
                p[2] = y >= 240 ? 255 : 0;
                p[3] = 255;
            }
        return MakeTexture(320, 480, rgba.data());
    }
    // A drawable of its own, cleared to white, and the view's framebuffer bound again.
    static GLuint Drawable(int width, int height) {
        GLuint colour = 0;
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &mDrawable);
        glBindFramebuffer(GL_FRAMEBUFFER, mDrawable);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        View().setFramebuffer();
        return mDrawable;
    }
    // The pass into a drawable of that size, which is bound afterwards to be read.
    static void Present(UprightBlit& blit, int width, int height) {
        const GLuint drawable = Drawable(width, height);
        blit.Draw(Screen(), {width, height}, drawable);
        glBindFramebuffer(GL_FRAMEBUFFER, drawable);
    }
    void TearDown() override {
        glDeleteFramebuffers(1, &mDrawable);
        View().setFramebuffer();
    }
    static inline GLuint mDrawable = 0;
};

// Upright, the 3:2 picture in 600 x 300 is 450 x 300 from x = 75: its top left the screen's right half's top, its
// bottom right the left half's bottom. As it is, the 2:3 picture in 300 x 600 is 300 x 450 from y = 75.
TEST_F(UprightBlitTest, TheScreenFitsBetweenBlackBarsItsRightEdgeOnTopOrAsItIs) {
    const struct {
        bool upright;
        int width, height;
        int probes[6][5];  // x, y, r, g, b
    } cases[] = {{true, 600, 300, {{30, 150, 0, 0, 0}, {570, 150, 0, 0, 0}, {175, 240, 0, 255, 255},
                                   {425, 240, 0, 255, 0}, {175, 60, 255, 0, 255}, {425, 60, 255, 0, 0}}},
                 {false, 300, 600, {{150, 30, 0, 0, 0}, {150, 570, 0, 0, 0}, {60, 440, 255, 0, 255},
                                    {240, 440, 0, 255, 255}, {60, 160, 255, 0, 0}, {240, 160, 0, 255, 0}}}};
    for (const auto& c : cases) {
        UprightBlit blit(c.upright);
        Present(blit, c.width, c.height);
        for (const auto& p : c.probes)
            EXPECT_TRUE(NearColour(Pixel(p[0], p[1]), p[2], p[3], p[4])) << c.upright << " at " << p[0] << ", " << p[1];
        glDeleteFramebuffers(1, &mDrawable);
    }
}

// A program that draws nothing, for the demo's current program.
GLuint SomeProgram() {
    const char* vertex = "void main() { gl_Position = vec4(0.0); }";
    const char* fragment = "precision mediump float; void main() { gl_FragColor = vec4(1.0); }";
    const GLuint program = glCreateProgram();
    for (const auto& [type, source] : {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

TEST_F(UprightBlitTest, TheDemosDrawStateIsLeftAsItWas) {
    UprightBlit blit(true);
    const GLuint drawable = Drawable(480, 320), frame = Screen(), unitOne = Screen(), unitZero = Screen();
    const GLuint program = SomeProgram();
    GLint shaders = 0;  // the program the shaders' own record says is in use, given back at the end
    glGetIntegerv(GL_CURRENT_PROGRAM, &shaders);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, unitOne);
    glUseProgram(program);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glViewport(3, 4, 50, 60);
    GLuint someBuffer = 0;
    glGenBuffers(1, &someBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, someBuffer);
    GLint viewFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &viewFramebuffer);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // the sparks' additive blend, which the bar's must not replace
    blit.ShowBar(true);
    blit.Draw(frame, {480, 320}, drawable);

    // Queried on the unit left active, unit 1.
    const std::pair<GLenum, GLint> kept[] = {{GL_FRAMEBUFFER_BINDING, viewFramebuffer},
                                             {GL_ACTIVE_TEXTURE, GL_TEXTURE1},
                                             {GL_TEXTURE_BINDING_2D, static_cast<GLint>(unitOne)},
                                             {GL_CURRENT_PROGRAM, static_cast<GLint>(program)},
                                             {GL_BLEND_SRC_RGB, GL_SRC_ALPHA},
                                             {GL_BLEND_DST_RGB, GL_ONE},
                                             {GL_ARRAY_BUFFER_BINDING, static_cast<GLint>(someBuffer)}};
    GLint value = 0, viewport[4] = {};
    for (const auto& [name, expected] : kept) {
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, expected) << "0x" << std::hex << name;
    }
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{3, 4, 50, 60}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE));
    for (GLuint attribute : {0u, 1u}) {
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
        EXPECT_EQ(value, attribute == 1 ? 1 : 0) << attribute;
    }
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), unitZero) << "unit 0's texture, which the pass drew with";

    glUseProgram(static_cast<GLuint>(shaders));
    glDeleteProgram(program);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &someBuffer);
    glViewport(0, 0, 320, 480);
}

// A window whose context is the test's own, already current.
class TestWindow : public DisplaySurface {
public:
    bool MakeCurrent() override { return true; }
    bool Present(unsigned int, int, int) override { return true; }
    SurfaceEvents PollEvents() override { return {}; }
    double RefreshPeriod() const override { return 0.0; }
};

class ViewControllerInAWindow : public GLTest {};

TEST_F(ViewControllerInAWindow, PausesWhileTheApplicationIsInactive) {
    TestWindow window;
    {
        kestrel_linuxViewController controller;
        controller.viewDidLoad(&window);
        controller.view()->window = &window;
        controller.viewWillAppear();
        RunLoop::Main().ResignActive();
        EXPECT_FALSE(controller.isAnimating());
        EXPECT_FALSE(RunLoop::Main().HasLinks());
        RunLoop::Main().BecomeActive();
        EXPECT_TRUE(controller.isAnimating());
        controller.viewWillDisappear();
    }
    RunLoop::Main().BecomeActive();  // a controller gone is no longer told
    EXPECT_FALSE(RunLoop::Main().HasLinks());
    View().setFramebuffer();
}

}  // namespace
