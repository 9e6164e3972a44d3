// The presentation rule every host follows, the window's size and the recording's progress line. The turn of
// read-back pixels into the upright picture is every reference frame's.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "DemoSys/Presentation.h"
#include "Linux/Source/RecordingSurface.h"
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
