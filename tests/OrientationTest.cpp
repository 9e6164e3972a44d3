// The show watched as its viewer sees it: the portrait screen turned a
// quarter, its right edge on top. Each scene with a clear up is drawn on
// headless GL from the generated data tree, and its content's marked top is
// found above its bottom in that upright picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numeric>
#include <vector>

#include "BS/Export/BS_Application.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
#include "Effects/particleScene.h"
#include "Effects/robot.h"
#include "Effects/tunnel.h"
#include "GLTestSupport.h"

namespace {

constexpr int kWidth = 480, kHeight = 320;  // the upright picture

struct Rgb {
    int r, g, b;
};
using Select = std::function<bool(const Rgb&)>;

// The screen read back and turned upright: x to the viewer's right, y down
// from the top, which is the portrait screen's right edge.
class Upright {
public:
    static Upright ReadScreen() {
        const std::vector<unsigned char> portrait = ReadScreenRGBA();
        Upright picture;
        picture.mPixels.resize(kWidth * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                // The viewer's top row is the screen's last column, the
                // viewer's left column its top row (GL counts rows from the bottom).
                const unsigned char* p = &portrait[((479 - x) * 320 + (319 - y)) * 4];
                picture.mPixels[y * kWidth + x] = {p[0], p[1], p[2]};
            }
        return picture;
    }

    const Rgb& At(int x, int y) const { return mPixels[y * kWidth + x]; }

    // Selected pixels per row, within columns [x0, x1).
    std::vector<int> RowCounts(const Select& select, int x0 = 0, int x1 = kWidth) const {
        std::vector<int> counts(kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = x0; x < x1; ++x) counts[y] += select(At(x, y));
        return counts;
    }
    double MeanRow(const Select& select) const {
        double sum = 0.0, count = 0.0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (select(At(x, y))) sum += y, count += 1.0;
        return count > 0.0 ? sum / count : -1.0;
    }
    int Count(const Select& select, int x0 = 0, int x1 = kWidth) const {
        const std::vector<int> rows = RowCounts(select, x0, x1);
        return std::accumulate(rows.begin(), rows.end(), 0);
    }
    double BandBrightness(int y0, int y1) const {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < kWidth; ++x) sum += At(x, y).r + At(x, y).g + At(x, y).b;
        return sum / (3.0 * kWidth * (y1 - y0));
    }

private:
    std::vector<Rgb> mPixels;
};

// A figure's rows, top to bottom, with at least `least` selected pixels.
struct Profile {
    int top = -1, bottom = -1;
};

Profile ProfileOf(const std::vector<int>& counts, int least) {
    Profile p;
    for (int y = 0; y < kHeight; ++y) {
        if (counts[y] < least) continue;
        if (p.top < 0) p.top = y;
        p.bottom = y;
    }
    return p;
}

// How wide a figure is at its two ends: the mean selected pixels per row
// over its top and its bottom fifth.
struct Ends {
    double top = 0.0, bottom = 0.0;
};

Ends EndsOf(const std::vector<int>& counts, int least, const char* what) {
    const Profile p = ProfileOf(counts, least);
    Ends ends;
    EXPECT_GT(p.bottom - p.top, 40) << what << " is missing or too small to judge";
    if (p.bottom - p.top <= 40) return ends;
    const int band = (p.bottom - p.top + 1) / 5;
    for (int i = 0; i < band; ++i) {
        ends.top += counts[p.top + i] / static_cast<double>(band);
        ends.bottom += counts[p.bottom - i] / static_cast<double>(band);
    }
    return ends;
}

// A kestrel seen from below: the small round head on top, the fanned tail,
// wider, at the bottom.
void ExpectHeadAboveTail(const std::vector<int>& counts, int least, const char* what) {
    const Ends ends = EndsOf(counts, least, what);
    EXPECT_LT(1.3 * ends.top, ends.bottom) << what << " is upside down: " << ends.top << " pixels a row at its top, "
                                           << ends.bottom << " at its bottom";
}

bool Warm(const Rgb& p) { return p.r > 150 && p.r > p.b + 60; }

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
    static Upright Render(Effect& scene, float fxTime, float demoTime, float fxProgress) {
        Play(scene, fxTime, demoTime, fxProgress);
        return Upright::ReadScreen();
    }
};

TEST_F(OrientationTest, LoadingPictureHasItsTitleAboveTheSetSun) {
    // Drawn as the show draws it while loading.
    const GLuint picture = SimpleMaterial::LoadRectTextureFromFile(Bundle::Path() + "/FxData/loading.png");
    DemoSys::ResetRenderTarget();
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, picture);
    const float white[4] = {1, 1, 1, 1};
    DemoSys::DrawRect(0, 0, 480, 320, 1.5707964f, white);
    const Upright up = Upright::ReadScreen();
    const Select title = [](const Rgb& p) { return p.r > 220 && p.g > 200 && p.b > 180 && p.r >= p.b; };
    const Select sun = [](const Rgb& p) { return p.r > 200 && p.g > 120 && p.g < 240 && p.b < 120; };
    ASSERT_GT(up.Count(title), 500);
    ASSERT_GT(up.Count(sun), 500);
    EXPECT_LT(up.MeanRow(title) + 60.0, up.MeanRow(sun));
}

TEST_F(OrientationTest, OverlayDrawingsStandUpUnderLightFromAbove) {
    overlay& scene = Loaded<overlay>();
    // fxTime 0: the picture is not rocked.
    const Upright kestrel = Render(scene, 0.0f, 127.5f, 0.0f);
    ExpectHeadAboveTail(kestrel.RowCounts(Warm), 3, "the overlay's kestrel");
    for (GLuint attribute : {0u, 2u}) {
        GLint enabled = 1;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, 0) << "the overlay leaves attribute array " << attribute << " on for the next scene";
    }
    // Positions and colours share one buffer: the 1,500 corners' two floats
    // each, then their colours right after them.
    void* colours = nullptr;
    glGetVertexAttribPointerv(2, GL_VERTEX_ATTRIB_ARRAY_POINTER, &colours);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(colours), 1500u * 2 * sizeof(float));
    const Upright heart = Render(scene, 0.0f, 139.4f, 1.0f);
    const Ends lobes = EndsOf(heart.RowCounts(Warm), 3, "the overlay's heart");
    EXPECT_GT(lobes.top, 1.3 * lobes.bottom) << "the heart's lobes are on top, its point below";

    // The sun is round: it sits in the middle, as far above as below.
    const Upright sun = Render(scene, 0.0f, 133.45f, 0.5f);
    const Profile disc = ProfileOf(sun.RowCounts(Warm), 3);
    EXPECT_NEAR(disc.top + disc.bottom, kHeight, 16);
    // Behind the drawing, the deep sea's shafts fall from its surface.
    EXPECT_GT(sun.BandBrightness(0, 24), sun.BandBrightness(296, 320) + 15.0);
}

TEST_F(OrientationTest, JellyfishSeaIsLitFromAboveAndTheCreditsReadDownwards) {
    manetjakt& scene = Loaded<manetjakt>();
    const Upright sea = Render(scene, 5.0f, 144.4f, 0.0f);
    EXPECT_GT(sea.BandBrightness(0, 24), sea.BandBrightness(296, 320) + 15.0);

    // Eight seconds into the scroll the credits' first lines have risen into
    // view: the short title, then the longer line under it.
    const Upright credits = Render(scene, 31.0f, 170.4f, 0.0f);
    const std::vector<int> letters =
        credits.RowCounts([](const Rgb& p) { return p.r > 180 && p.g > 200 && p.b > 200; });
    std::vector<int> lines;  // letter pixels of each run of lettered rows, top first
    for (int y = 0; y < kHeight; ++y) {
        const bool lettered = letters[y] >= 12;
        if (lettered && (y == 0 || letters[y - 1] < 12)) lines.push_back(0);
        if (lettered) lines.back() += letters[y];
    }
    ASSERT_GE(lines.size(), 3u) << "the credits' lines";
    EXPECT_LT(lines[0], 0.7 * lines[1]) << "\"KESTREL\" is the top line, above \"A REAL-TIME DEMO\"";
    const Profile text = ProfileOf(letters, 12);
    EXPECT_NEAR(text.top, 165, 12) << "the scroller's first line";
}

TEST_F(OrientationTest, ParticleFigureFormsAKestrelHeadUp) {
    particleScene& scene = Loaded<particleScene>();
    // The figure forms over the first twelve seconds and is held as it is released.
    const float step = 1.0f / 20.0f;
    for (float t = step; t < 14.0f; t += step) Play(scene, t, 82.0f + t, 0.0f);
    const Upright figure = Render(scene, 14.0f, 96.0f, 0.0f);
    // The skull passes on the left; the kestrel flies on the right.
    const Select particle = [](const Rgb& p) { return p.r > 120 && p.r > p.b + 15; };
    ExpectHeadAboveTail(figure.RowCounts(particle, kWidth / 2, kWidth), 4, "the kestrel");
}

TEST_F(OrientationTest, RobotStandsOnItsStageFillingThePicture) {
    robot& scene = Loaded<robot>();
    // Frames 0.05 s apart advance the scene's clock by as much: one picture
    // from each of the two cameras, which take turns at 3 s.
    float demoTime = 0.0f;
    for (float animationTime : {1.5f, 4.5f}) {
        for (; demoTime < animationTime - 0.025f; demoTime += 0.05f) Play(scene, 0.0f, demoTime + 0.05f, 0.0f);
        const Upright frame = Render(scene, 0.0f, demoTime += 0.05f, 0.0f);
        const Select plates = [](const Rgb& p) { return p.r > 45 && 10 * p.r > 14 * p.g && p.r > 2 * p.b; };
        const Select grid = [](const Rgb& p) { return p.g > 50 && p.b > 50 && 2 * p.r < p.g; };
        ASSERT_GT(frame.Count(plates), 300) << animationTime;
        ASSERT_GT(frame.Count(grid), 300) << animationTime;
        EXPECT_LT(frame.MeanRow(plates) + 40.0, frame.MeanRow(grid)) << "the stage lies below the robot at " << animationTime;
        const Profile body = ProfileOf(frame.RowCounts(plates), 2);
        EXPECT_GT(body.bottom - body.top, kHeight / 2) << "the robot's chest to feet at " << animationTime;
    }
}

TEST_F(OrientationTest, TunnelSparksGlowGoldInEveryFrame) {
    tunnel& scene = Loaded<tunnel>();
    const Select spark = [](const Rgb& p) { return p.r > 200 && p.g > 110 && p.b < 90 && p.r > p.b + 150; };
    int frames = 0;
    for (int check : {30, 90, 150}) {
        for (; frames < check; ++frames) Play(scene, 0.0f, 0.0f, 0.0f);
        const Upright frame = Render(scene, 0.0f, 0.0f, 0.0f);
        ++frames;
        // Round the camera, not along one edge: both halves of the picture glow.
        EXPECT_GT(frame.Count(spark, 0, kWidth / 2), 250) << "after " << frames << " frames";
        EXPECT_GT(frame.Count(spark, kWidth / 2, kWidth), 250) << "after " << frames << " frames";
    }
}

}  // namespace
