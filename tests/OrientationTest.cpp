// The show as its viewer sees it: the portrait screen turned a quarter, its right edge on top. The scenes' own
// pictures are held by the reference frames; here what those do not see: the loading picture, the draw state the
// overlay leaves for the next scene, and the tunnel's sparks all round the camera.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "Effects/overlay.h"
#include "Effects/tunnel.h"
#include "GLTestSupport.h"

namespace {

constexpr int kWidth = 480, kHeight = 320;  // the upright picture

struct Rgb {
    int r, g, b;
};
using Select = std::function<bool(const Rgb&)>;

// The screen read back and turned upright: x to the viewer's right, y down from the top, which is the portrait
// screen's right edge.
class Upright {
public:
    static Upright ReadScreen() {
        const std::vector<unsigned char> portrait = ReadScreenRGBA();
        Upright picture;
        picture.mPixels.resize(kWidth * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                // The viewer's top row is the screen's last column, the viewer's left column its top row (GL's last).
                const unsigned char* p = &portrait[((479 - x) * 320 + (319 - y)) * 4];
                picture.mPixels[y * kWidth + x] = {p[0], p[1], p[2]};
            }
        return picture;
    }
    int Count(const Select& select, int x0 = 0, int x1 = kWidth) const {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = x0; x < x1; ++x) count += select(mPixels[y * kWidth + x]);
        return count;
    }
    double MeanRow(const Select& select) const {
        double sum = 0.0, count = 0.0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (select(mPixels[y * kWidth + x])) sum += y, count += 1.0;
        return count > 0.0 ? sum / count : -1.0;
    }

private:
    std::vector<Rgb> mPixels;
};

class OrientationTest : public SceneTest {
protected:
    // One frame of the scene on the screen, its progress lines kept off the output.
    static void Play(Effect& scene, float fxTime, float demoTime, float fxProgress) {
        DemoSys::ResetRenderTarget();
        testing::internal::CaptureStdout();
        scene.renderForFxTime(fxTime, demoTime, fxProgress, 0.0f);
        testing::internal::GetCapturedStdout();
        DemoSys::ResetRenderTarget();
    }
};

TEST_F(OrientationTest, LoadingPictureHasItsTitleAboveTheSetSun) {
    // Drawn as the show draws it while loading.
    const GLuint picture = SimpleMaterial::LoadRectTextureFromFile(Bundle::Path() + "/FxData/loading.png");
    DemoSys::ResetRenderTarget();
    glBindTexture(GL_TEXTURE_2D, picture);
    DemoSys::DrawRect(0, 0, 480, 320, 1.5707964f, DemoSys::kWhite);
    const Upright up = Upright::ReadScreen();
    const Select title = [](const Rgb& p) { return p.r > 220 && p.g > 200 && p.b > 180 && p.r >= p.b; };
    const Select sun = [](const Rgb& p) { return p.r > 200 && p.g > 120 && p.g < 240 && p.b < 120; };
    ASSERT_GT(up.Count(title), 500);
    ASSERT_GT(up.Count(sun), 500);
    EXPECT_LT(up.MeanRow(title) + 60.0, up.MeanRow(sun));
}

TEST_F(OrientationTest, TheOverlayLeavesNoArrayOfItsOwnOnForTheNextScene) {
    Play(Loaded<overlay>(), 0.0f, 127.5f, 0.0f);
    for (GLuint attribute : {0u, 2u}) {
        GLint enabled = 1;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, 0) << "the overlay leaves attribute array " << attribute << " on for the next scene";
    }
    // Positions and colours share one buffer: the 1,500 corners' two floats each, then their colours.
    void* colours = nullptr;
    glGetVertexAttribPointerv(2, GL_VERTEX_ATTRIB_ARRAY_POINTER, &colours);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(colours), 1500u * 2 * sizeof(float));
}

}  // namespace
