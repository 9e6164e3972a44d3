// One headless OpenGL ES 2.0 context for the whole test program, the screen's framebuffer bound.
#pragma once

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

class GLView;

class GLTest : public ::testing::Test {
protected:
    void SetUp() override;

    static GLView& View();
    // RGBA of one pixel of the bound framebuffer, GL's origin bottom left.
    static std::array<int, 4> Pixel(int x, int y);
    // A texture of width x height RGBA pixels, rows from row 0 up.
    static GLuint MakeTexture(int width, int height, const unsigned char* rgba);
};

// The scenes as the show runs them: the application directory set (scene files are found from it), the demo's
// drawing initialised, each scene loaded once per program, and each test begun in the draw state that the show's
// composite leaves every frame, whatever the test before left.
class SceneTest : public GLTest {
protected:
    void SetUp() override;

    template <typename Scene>
    static Scene& Loaded() {
        static Scene* scene = [] {
            auto* s = new Scene();
            s->initWithView(&View());
            testing::internal::CaptureStdout();
            s->load();
            LoadOutput<Scene>() = testing::internal::GetCapturedStdout();
            return s;
        }();
        return *scene;
    }
    template <typename Scene>
    static std::string& LoadOutput() {
        static std::string output;
        return output;
    }
};

// The bound 320 x 480 screen's RGBA bytes, rows from GL's bottom row up.
std::vector<unsigned char> ReadScreenRGBA();

// Colour comparison with the rounding a rasteriser may apply.
bool NearColour(const std::array<int, 4>& pixel, int r, int g, int b, int tolerance = 3);
