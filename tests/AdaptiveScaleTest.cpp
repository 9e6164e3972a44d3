// The rule by which a host lowers the render scale on a slow machine and
// raises it again, checked on made-up frame costs against its thresholds:
// down after a window averaging more than 0.9 of a tick (15 ms), up after
// one whose cost times the pixel growth of the scale above stays under 0.7 of
// a tick (11.67 ms).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "DemoSys/AdaptiveScale.h"
#include "DemoSys/Host.h"
#include "DemoSys/RenderScale.h"

namespace {

constexpr double kMs = 0.001;

// Feeds `count` frames at one scale and cost; answers the last limit.
int Feed(AdaptiveScale& adaptive, int count, double seconds, int scale) {
    int limit = 0;
    for (int i = 0; i < count; ++i) limit = adaptive.FramePlayed(seconds, scale);
    return limit;
}

}  // namespace

// The first frame at a scale is not judged; 30 more make a window.
TEST(AdaptiveScale, AWindowOfFramesOverFifteenMillisecondsStepsDownOne) {
    AdaptiveScale adaptive;
    EXPECT_EQ(Feed(adaptive, 30, 16 * kMs, 3), Host::kMaxRenderScale);
    EXPECT_EQ(adaptive.FramePlayed(16 * kMs, 3), 2);
    EXPECT_NEAR(adaptive.JudgedMean(), 16 * kMs, 1e-12);

    // 14.9 ms on average, under 15: the scale stays; 15.1 steps down.
    AdaptiveScale enough;
    enough.FramePlayed(0.0, 2);
    Feed(enough, 15, 14 * kMs, 2);
    EXPECT_EQ(Feed(enough, 15, 15.8 * kMs, 2), Host::kMaxRenderScale);
    EXPECT_NEAR(enough.JudgedMean(), 14.9 * kMs, 1e-12);
    Feed(enough, 15, 14.4 * kMs, 2);
    EXPECT_EQ(Feed(enough, 15, 15.8 * kMs, 2), 1);
}

TEST(AdaptiveScale, NeverBelowOne) {
    AdaptiveScale adaptive;
    EXPECT_EQ(Feed(adaptive, 31, 40 * kMs, 1), 1);
    EXPECT_EQ(Feed(adaptive, 300, 40 * kMs, 1), 1);
}

// At scale 1 the scale above draws four times the pixels: 2.9 ms frames
// (11.6 ms grown) leave room, 3 ms frames (12 ms grown) do not. At scale 2
// the growth is 9/4: 5.1 ms frames (11.5 ms grown) leave room.
TEST(AdaptiveScale, StepsUpOnlyWhereTheScaleAboveWouldStillFit) {
    AdaptiveScale adaptive;
    ASSERT_EQ(Feed(adaptive, 31, 20 * kMs, 2), 1);
    EXPECT_EQ(Feed(adaptive, 31, 3.0 * kMs, 1), 1);
    EXPECT_EQ(Feed(adaptive, 30, 3.0 * kMs, 1), 1);
    EXPECT_EQ(Feed(adaptive, 30, 2.9 * kMs, 1), 2);
    EXPECT_EQ(Feed(adaptive, 31, 5.3 * kMs, 2), 2);
    EXPECT_EQ(Feed(adaptive, 30, 5.1 * kMs, 2), 3);
    EXPECT_EQ(Feed(adaptive, 31, 0.1 * kMs, Host::kMaxRenderScale), Host::kMaxRenderScale);
}

// A frame that loads the show or remakes the render targets costs far more
// than the frames after it; it is not counted.
TEST(AdaptiveScale, TheFirstFrameAtAScaleIsNotJudged) {
    AdaptiveScale adaptive;
    adaptive.FramePlayed(2.0, 2);
    EXPECT_EQ(Feed(adaptive, 30, 10 * kMs, 2), Host::kMaxRenderScale);
    EXPECT_NEAR(adaptive.JudgedMean(), 10 * kMs, 1e-12);
}

// Costs at two scales never share a window: 20 slow frames at scale 2, then
// the scale changes (a resized window) and 29 quick frames at scale 1 judge
// nothing yet.
TEST(AdaptiveScale, AChangeOfScaleStartsANewWindow) {
    AdaptiveScale adaptive;
    Feed(adaptive, 21, 30 * kMs, 2);
    EXPECT_EQ(Feed(adaptive, 30, 1 * kMs, 1), Host::kMaxRenderScale);
    EXPECT_EQ(adaptive.FramePlayed(1 * kMs, 1), 2);
}

// A scene whose frames cost 16 ms at scale 2 and, with a pixel count a
// quarter as large, 6 ms at scale 1 (the software rasteriser's usual ratio)
// steps down once and stays down: the scale does not hop.
TEST(AdaptiveScale, AHeavySceneStepsDownOnceAndStays) {
    AdaptiveScale adaptive;
    const double cost[3] = {0.0, 6 * kMs, 16 * kMs};
    int scale = 2, changes = 0;
    for (int frame = 0; frame < 6000; ++frame) {
        const int limit = std::min(2, adaptive.FramePlayed(cost[scale], scale));
        if (limit != scale) ++changes;
        scale = limit;
    }
    EXPECT_EQ(scale, 1);
    EXPECT_EQ(changes, 1);
}

// What a host calls: the frames drawn at 2 cost 20 ms, so the next frame
// begins at 1, and the frame drawn at 1 brings the line that says so.
TEST(AdaptiveScale, JudgingLimitsTheNextFramesAndSaysWhenTheScaleChanged) {
    Host::SetRenderScale(2);
    DemoSys::ApplyRenderScale();
    AdaptiveScale adaptive;
    char line[128] = "";
    for (int i = 0; i < 31; ++i) {
        EXPECT_FALSE(adaptive.Judge(20 * kMs, line, sizeof line));
        DemoSys::ApplyRenderScale();
    }
    EXPECT_EQ(DemoSys::RenderScale(), 1);
    EXPECT_TRUE(adaptive.Judge(20 * kMs, line, sizeof line));
    EXPECT_EQ(std::string(line), "render scale 1, was 2 (the frames judged last took 20.0 ms on average)");
    EXPECT_FALSE(adaptive.Judge(20 * kMs, line, sizeof line));
    Host::LimitRenderScale(Host::kMaxRenderScale);
    Host::SetRenderScale(1);
    DemoSys::ApplyRenderScale();
}
