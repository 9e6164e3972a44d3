// The presentation rule every host follows, the turn of read-back pixels into
// the upright picture, and the recording's progress line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "DemoSys/Presentation.h"
#include "Linux/Source/RecordingSurface.h"
#include "Linux/Source/ScreenPicture.h"
#include "Linux/Source/WindowPlacement.h"

namespace {

using Presentation::Rect;
using Presentation::Size;

void ExpectRect(const Rect& r, int x, int y, int width, int height) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

}  // namespace

// 1920 x 1080: 1080 * 3 / 2 = 1620 wide, (1920 - 1620) / 2 = 150 of bars on
// each side; a square drawable bars the top and bottom instead.
TEST(Presentation, ThePictureFitsTheDrawableWithItsAspectAndBlackBars) {
    ExpectRect(Presentation::FitPicture({960, 640}, true), 0, 0, 960, 640);
    ExpectRect(Presentation::FitPicture({1920, 1080}, true), 150, 0, 1620, 1080);
    ExpectRect(Presentation::FitPicture({900, 900}, true), 0, 150, 900, 600);
    ExpectRect(Presentation::FitPicture({800, 600}, false), 200, 0, 400, 600);
    const Size upright = Presentation::PictureSize(true), portrait = Presentation::PictureSize(false);
    EXPECT_EQ(upright.width, 480);
    EXPECT_EQ(upright.height, 320);
    EXPECT_EQ(portrait.width, 320);
    EXPECT_EQ(portrait.height, 480);
}

// The smallest N with 480 N x 320 N at least the fitted rectangle, at most 4.
TEST(Presentation, TheRenderScaleCoversTheFittedPictureUpToFour) {
    const struct {
        Size drawable;
        bool upright;
        float scale;  // the fitted picture's pixels over the picture's, up to a quarter
    } cases[] = {
        {{480, 320}, true, 1},       {{481, 321}, true, 1.25f},    {{960, 640}, true, 2},
        {{1000, 1000}, true, 2.25f}, {{1920, 1080}, true, 3.5f},   {{3840, 2160}, true, 4},
        {{200, 100}, true, 1},       {{800, 600}, false, 1.25f},   {{1440, 960}, true, 3},
        {{1440, 1000}, true, 3},     {{1441, 960}, true, 3.25f},   {{1920, 1280}, true, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Presentation::CoveringScale(c.drawable, c.upright), c.scale)
            << c.drawable.width << " x " << c.drawable.height << (c.upright ? " upright" : " portrait");
}

// Upright, the picture's top edge shows the screen's right edge (s = 1) and
// its left edge the screen's top (t = 1, GL's last row).
TEST(Presentation, TheQuadTurnsTheScreenARightEdgeOnTop) {
    float uv[8];
    Presentation::CornerTexCoords(true, uv);
    enum { kBottomLeft = 0, kBottomRight = 2, kTopLeft = 4, kTopRight = 6 };
    EXPECT_EQ(uv[kTopLeft], 1.0f);
    EXPECT_EQ(uv[kTopRight], 1.0f);
    EXPECT_EQ(uv[kBottomLeft], 0.0f);
    EXPECT_EQ(uv[kBottomRight], 0.0f);
    EXPECT_EQ(uv[kTopLeft + 1], 1.0f);
    EXPECT_EQ(uv[kBottomLeft + 1], 1.0f);
    EXPECT_EQ(uv[kTopRight + 1], 0.0f);
    EXPECT_EQ(uv[kBottomRight + 1], 0.0f);
    Presentation::CornerTexCoords(false, uv);
    const float portrait[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(uv[i], portrait[i]) << i;
}

// A 3 x 4 screen whose pixels carry their own GL column and row. Upright,
// the screen's right edge is on top: the picture's top row is the screen's
// last column, its left column the screen's top row (GL's last).
TEST(ScreenPicture, TheUprightPictureIsTheScreenTurnedWithItsRightEdgeOnTop) {
    constexpr int kWidth = 3, kHeight = 4;
    std::vector<unsigned char> rows;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) rows.insert(rows.end(), {uint8_t(x), uint8_t(y), uint8_t(10 + x + 3 * y), 255});
    // Every pixel of the picture against the screen pixel (x, y) it must show.
    auto expectEveryPixel = [](const ScreenPicture& p, auto screenPixelAt) {
        for (int row = 0; row < p.Height(); ++row)
            for (int column = 0; column < p.Width(); ++column) {
                const unsigned char* q = p.Pixels() + (static_cast<size_t>(row) * p.Width() + column) * 4;
                const std::pair<int, int> xy = screenPixelAt(column, row);
                EXPECT_EQ(std::vector<int>(q, q + 4), (std::vector<int>{xy.first, xy.second, 10 + xy.first + 3 * xy.second, 255}))
                    << "column " << column << ", row " << row;
            }
    };
    ScreenPicture upright(true);
    EXPECT_EQ(upright.Width() + upright.Height() + upright.Bytes(), 0u) << "nothing read yet";
    upright.Turn(rows.data(), kWidth, kHeight);
    ASSERT_EQ(upright.Width(), kHeight);
    ASSERT_EQ(upright.Height(), kWidth);
    ASSERT_EQ(upright.Bytes(), rows.size());
    expectEveryPixel(upright, [](int c, int r) { return std::make_pair(kWidth - 1 - r, kHeight - 1 - c); });

    ScreenPicture portrait(false);
    portrait.Turn(rows.data(), kWidth, kHeight);
    ASSERT_EQ(portrait.Width(), kWidth);
    ASSERT_EQ(portrait.Height(), kHeight);
    expectEveryPixel(portrait, [](int c, int r) { return std::make_pair(c, kHeight - 1 - r); });  // rows top down
}

// 80% of 1920 x 1080 is 1536 x 864: twice 480 x 320 fits, three times not.
TEST(WindowPlacement, TheWindowOpensAtTheLargestWholeMultipleWithinFourFifthsOfTheDesktop) {
    EXPECT_EQ(WholeScaleWithin({0, 0, 1920, 1080}, 480, 320, 0.8), 2);
    EXPECT_EQ(WholeScaleWithin({0, 0, 3840, 2160}, 480, 320, 0.8), 5);
    EXPECT_EQ(WholeScaleWithin({0, 0, 2560, 1440}, 480, 320, 0.8), 3);
    EXPECT_EQ(WholeScaleWithin({0, 0, 800, 600}, 480, 320, 0.8), 1);
    EXPECT_EQ(WholeScaleWithin({0, 0, 400, 300}, 480, 320, 0.8), 1);
    const ScreenRect small = PlaceWindow({0, 0, 400, 300}, 480, 320, 1.0);
    EXPECT_EQ(small.width, 400);  // shrunk to fit, aspect kept
    EXPECT_EQ(small.height, 266);
}

TEST(RecordingSurface, TheVideoIsTheUprightPictureAtTheScaleAndProgressEstimatesTheRest) {
    const std::vector<std::string> upright =
        RecordingSurface::EncoderArguments("v.mp4.partial", "mp4", "", 60.0, {true, 4});
    EXPECT_NE(std::find(upright.begin(), upright.end(), "1920x1280"), upright.end());
    // The pictures arrive top down: no flip on the way.
    EXPECT_EQ(std::find(upright.begin(), upright.end(), "vflip"), upright.end());
    const std::vector<std::string> portrait =
        RecordingSurface::EncoderArguments("v.mp4.partial", "mp4", "", 60.0, {false, 2});
    EXPECT_NE(std::find(portrait.begin(), portrait.end(), "640x960"), portrait.end());

    char line[160];
    // 37 s is 20% of the show's 185; 10 s for it leaves 40 s for the rest.
    RecordingSurface::FormatProgress(line, sizeof line, 37.0, 2220, 10.0);
    EXPECT_STREQ(line, "kestrel: recorded 37 s of the show (2220 frames, 20%), about 0 min 40 s left");
    RecordingSurface::FormatProgress(line, sizeof line, 92.5, 5550, 200.0);
    EXPECT_STREQ(line, "kestrel: recorded 92 s of the show (5550 frames, 50%), about 3 min 20 s left");
    // A video from 148 s: 18.5 s of its 37 are half of it.
    RecordingSurface::FormatProgress(line, sizeof line, 166.5, 1110, 30.0, 148.0);
    EXPECT_STREQ(line, "kestrel: recorded 18 s of the show (1110 frames, 50%), about 0 min 30 s left");
}
