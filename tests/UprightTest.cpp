// The presentation rule every host follows, the turn of read-back pixels into the upright picture, and the
// recording's progress line.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "DemoSys/Presentation.h"
#include "Linux/Source/RecordingSurface.h"
#include "Linux/Source/ScreenPicture.h"
#include "Linux/Source/WindowPlacement.h"

using Presentation::Size;

// 1920 x 1080: 1080 * 3 / 2 = 1620 wide, (1920 - 1620) / 2 = 150 of bars on each side; a square drawable bars
// the top and bottom instead.
TEST(Presentation, ThePictureFitsTheDrawableWithItsAspectAndBlackBars) {
    const struct {
        Size drawable;
        bool upright;
        std::vector<int> rect;
    } cases[] = {{{960, 640}, true, {0, 0, 960, 640}},
                 {{1920, 1080}, true, {150, 0, 1620, 1080}},
                 {{900, 900}, true, {0, 150, 900, 600}},
                 {{800, 600}, false, {200, 0, 400, 600}}};
    for (const auto& c : cases) {
        const Presentation::Rect r = Presentation::FitPicture(c.drawable, c.upright);
        EXPECT_EQ(std::vector<int>({r.x, r.y, r.width, r.height}), c.rect)
            << c.drawable.width << " x " << c.drawable.height;
    }
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

// A 3 x 4 screen whose pixels carry their own GL column and row. Upright, the picture's top row is the
// screen's last column, its left column the screen's top row (GL's last).
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
    for (const auto& [width, height, scale] : {std::tuple{1920, 1080, 2}, {3840, 2160, 5}, {2560, 1440, 3}, {800, 600, 1},
                                               {400, 300, 1}})
        EXPECT_EQ(WholeScaleWithin({0, 0, width, height}, 480, 320, 0.8), scale) << width << " x " << height;
    const ScreenRect small = PlaceWindow({0, 0, 400, 300}, 480, 320, 1.0);  // shrunk to fit, aspect kept
    EXPECT_EQ(std::pair(small.width, small.height), std::pair(400, 266));
}

TEST(RecordingSurface, TheProgressLineEstimatesTheRest) {
    char line[160];
    // 37 s is 20% of the show's 185: 10 s for it leave 40 s; a video from 148 s is half done at 166.5 s.
    RecordingSurface::FormatProgress(line, sizeof line, 37.0, 2220, 10.0);
    EXPECT_STREQ(line, "kestrel: recorded 37 s of the show (2220 frames, 20%), about 0 min 40 s left");
    RecordingSurface::FormatProgress(line, sizeof line, 92.5, 5550, 200.0);
    EXPECT_STREQ(line, "kestrel: recorded 92 s of the show (5550 frames, 50%), about 3 min 20 s left");
    RecordingSurface::FormatProgress(line, sizeof line, 166.5, 1110, 30.0, 148.0);
    EXPECT_STREQ(line, "kestrel: recorded 18 s of the show (1110 frames, 50%), about 0 min 30 s left");
}
