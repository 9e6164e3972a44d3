#include "GLTestSupport.h"

#include <cstdlib>
#include <memory>

#include "BS/Export/BS_Application.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/GLTexture.h"
#include "DemoSys/GLView.h"
#include "Linux/Source/DisplaySurface.h"

namespace {

// Kept until the process ends, so the driver stays loaded for the leak checker.
DisplaySurface* Surface() {
    static DisplaySurface* surface = CreateHeadlessSurface().release();
    return surface;
}

}  // namespace

GLView& GLTest::View() {
    static GLView view;
    return view;
}

void GLTest::SetUp() {
    ASSERT_NE(Surface(), nullptr) << "no headless OpenGL ES 2.0 context";
    Bundle::SetPath(KESTREL_BUNDLE);
    View().setContext(Surface());
    View().setFramebuffer();
    while (glGetError() != GL_NO_ERROR) {
    }
}

void SceneTest::SetUp() {
    GLTest::SetUp();
    static char program[] = KESTREL_BUNDLE "/kestrel";
    static char* argv[] = {program, nullptr};
    if (!BS::gApplication) BS::gApplication = new BS::LinuxApplication(1, argv);
    DemoSys::Init(&View());
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
}

std::array<int, 4> GLTest::Pixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

GLuint GLTest::MakeTexture(int width, int height, const unsigned char* rgba) {
    glActiveTexture(GL_TEXTURE0);
    const GLuint texture = NewClampedTexture(GL_NEAREST, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return texture;
}

std::vector<unsigned char> ReadScreenRGBA() {
    std::vector<unsigned char> rgba(320 * 480 * 4);
    glReadPixels(0, 0, 320, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool NearColour(const std::array<int, 4>& pixel, int r, int g, int b, int tolerance) {
    return std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
           std::abs(pixel[2] - b) <= tolerance;
}
