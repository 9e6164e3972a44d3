// The show as its viewer sees it: the portrait screen turned a quarter, its right edge on top. The scenes' own
// pictures are held by the reference frames; here what those do not see, the loading picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
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
    int Count(const Select& select) const {
        int count = 0;
        for (const Rgb& p : mPixels) count += select(p);
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

class OrientationTest : public SceneTest {};

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

}  // namespace
