// How a host lowers the render scale on a slow machine and raises it again: down after a window averaging
// over 0.9 of a tick (15 ms), to the largest quarter whose pixels fit, up a quarter at a time once the step above's pixel growth would stay under 0.7
// of a tick (11.67 ms).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "DemoSys/AdaptiveScale.h"
#include "DemoSys/Host.h"
#include "DemoSys/RenderScale.h"

namespace {

constexpr double kMs = 0.001;

// Feeds `count` frames at one scale and cost; answers the last limit.
float Feed(AdaptiveScale& adaptive, int count, double seconds, float scale) {
    float limit = 0.0f;
    for (int i = 0; i < count; ++i) limit = adaptive.FramePlayed(seconds, scale);
    return limit;
}

}  // namespace

// The first frame at a scale (a load, remade render targets: far dearer) is not judged; 30 more make a window.
// Costs at two scales never share one: 20 slow frames at 2 before a resize count for nothing at 3.
TEST(AdaptiveScale, AWindowOfFramesOverFifteenMillisecondsStepsDownAQuarter) {
    AdaptiveScale adaptive;
    Feed(adaptive, 21, 25 * kMs, 2.0f);
    EXPECT_EQ(Feed(adaptive, 30, 16 * kMs, 3.0f), Host::kMaxRenderScale);
    EXPECT_EQ(adaptive.FramePlayed(16 * kMs, 3.0f), 2.75f);
    EXPECT_NEAR(adaptive.JudgedMean(), 16 * kMs, 1e-12);

    // 14.9 ms on average, under 15: the scale stays; 15.1 steps down.
    AdaptiveScale enough;
    enough.FramePlayed(2.0, 2.0f);
    Feed(enough, 15, 14 * kMs, 2.0f);
    EXPECT_EQ(Feed(enough, 15, 15.8 * kMs, 2.0f), Host::kMaxRenderScale);
    EXPECT_NEAR(enough.JudgedMean(), 14.9 * kMs, 1e-12);
    Feed(enough, 15, 14.4 * kMs, 2.0f);
    EXPECT_EQ(Feed(enough, 15, 15.8 * kMs, 2.0f), 1.75f);
}

// Never below 1. At scale 1 the step above draws (5/4)^2 times the pixels: 7.4 ms frames (11.56 ms grown)
// leave room, 7.5 ms (11.72 ms) do not; at 2, (9/8)^2: 9.2 ms (11.64 ms) do, 9.25 ms (11.71 ms) not.
TEST(AdaptiveScale, StepsUpOnlyWhereTheStepAboveWouldStillFit) {
    AdaptiveScale adaptive;
    EXPECT_EQ(Feed(adaptive, 31, 40 * kMs, 1.0f), 1.0f);
    ASSERT_EQ(Feed(adaptive, 31, 20 * kMs, 1.25f), 1.0f);
    Feed(adaptive, 1 + 30 * AdaptiveScale::kRetryWindows, 10 * kMs, 1.0f);  // the retry waited out
    EXPECT_EQ(Feed(adaptive, 31, 7.5 * kMs, 1.0f), 1.0f);
    EXPECT_EQ(Feed(adaptive, 30, 7.5 * kMs, 1.0f), 1.0f);
    EXPECT_EQ(Feed(adaptive, 30, 7.4 * kMs, 1.0f), 1.25f);
    EXPECT_EQ(Feed(adaptive, 31, 9.25 * kMs, 2.0f), 1.25f) << "no change: the limit stands";
    EXPECT_EQ(Feed(adaptive, 30, 9.2 * kMs, 2.0f), 2.25f);
    EXPECT_EQ(Feed(adaptive, 31, 0.1 * kMs, Host::kMaxRenderScale), Host::kMaxRenderScale);
}

// Stepped down from 2, frames at 1.75 leave room for 2 at once (8 ms, 10.4 ms grown), yet 2 is tried again
// only after 20 windows (10 s); a step up to a scale that was never too slow does not wait.
TEST(AdaptiveScale, AScaleThatWasTooSlowIsTriedAgainAfterTenSeconds) {
    AdaptiveScale adaptive;
    ASSERT_EQ(Feed(adaptive, 31, 16 * kMs, 2.0f), 1.75f);
    EXPECT_EQ(Feed(adaptive, 1 + 30 * 19, 8 * kMs, 1.75f), 1.75f);
    EXPECT_EQ(Feed(adaptive, 30, 8 * kMs, 1.75f), 2.0f);

    AdaptiveScale fresh;
    ASSERT_EQ(Feed(fresh, 31, 16 * kMs, 2.0f), 1.75f);
    ASSERT_EQ(Feed(fresh, 31, 16 * kMs, 1.75f), 1.5f);
    EXPECT_EQ(Feed(fresh, 31, 6 * kMs, 1.5f), 1.5f) << "1.75 was too slow a window ago";

    // A smaller window draws at 1.25 meanwhile: the step up from there to 1.5, never found too slow, does not wait.
    AdaptiveScale smaller;
    ASSERT_EQ(Feed(smaller, 31, 16 * kMs, 2.0f), 1.75f);
    EXPECT_EQ(Feed(smaller, 31, 5 * kMs, 1.25f), 1.5f);
}

// Over budget, the scale falls in one step to the largest quarter whose pixels fit 15 ms: four times over at 2
// (60 ms) is 1; 30.1 ms at 3 fits 3 * sqrt(15 / 30.1) = 2.12, so 2; 18 ms at 4 fits 3.65, so 3.5. Frames over
// twice the budget (30 ms) are judged after 6 rather than 30.
TEST(AdaptiveScale, FramesOverBudgetFallStraightToTheLargestQuarterThatFits) {
    const struct {
        float from;
        double ms;
        int judgedAfter;
        float to;
    } cases[] = {{2.0f, 60.0, 6, 1.0f}, {3.0f, 30.1, 6, 2.0f}, {3.0f, 29.9, 30, 2.0f},
                 {4.0f, 18.0, 30, 3.5f}, {8.0f, 1000.0, 6, 1.0f}};
    for (const auto& c : cases) {
        AdaptiveScale adaptive;
        EXPECT_EQ(Feed(adaptive, c.judgedAfter, c.ms * kMs, c.from), Host::kMaxRenderScale) << c.from << " " << c.ms;
        EXPECT_EQ(adaptive.FramePlayed(c.ms * kMs, c.from), c.to) << c.from << " at " << c.ms << " ms";
    }
}

// Frames of 2 ms plus 3.5 ms per screen of pixels (16 ms at 2, 12.7 ms at 1.75) settle at 1.75, where the
// step above would cost 16 ms: in one change from 2; from 4 (58 ms) in two, since the fixed 2 ms make 2 look
// as if it fitted.
TEST(AdaptiveScale, AHeavySceneSettlesAtTheLargestStepThatKeepsThePace) {
    const auto cost = [](float scale) { return 2 * kMs + 3.5 * kMs * scale * scale; };
    for (float start : {2.0f, 4.0f}) {
        AdaptiveScale adaptive;
        float scale = start;
        int changes = 0;
        for (int frame = 0; frame < 6000; ++frame) {
            const float limit = std::min(start, adaptive.FramePlayed(cost(scale), scale));
            if (limit != scale) ++changes;
            scale = limit;
        }
        EXPECT_EQ(scale, 1.75f) << "from " << start;
        EXPECT_EQ(changes, start == 2.0f ? 1 : 2) << "from " << start;
    }
}

// Frames drawn at 2 cost 20 ms, so the next begins at 1.5 (2 * sqrt(15 / 20) = 1.73), and the frame drawn at
// 1.5 brings the line.
TEST(AdaptiveScale, JudgingLimitsTheNextFramesAndSaysWhenTheScaleChanged) {
    Host::SeekShow(0.0);  // the line names the show's time
    Host::SetRenderScale(2);
    DemoSys::ApplyRenderScale();
    AdaptiveScale adaptive;
    char line[128] = "";
    for (int i = 0; i < 31; ++i) {
        EXPECT_FALSE(adaptive.Judge(20 * kMs, line, sizeof line));
        DemoSys::ApplyRenderScale();
    }
    EXPECT_EQ(DemoSys::RenderScale(), 1.5f);
    EXPECT_TRUE(adaptive.Judge(20 * kMs, line, sizeof line));
    EXPECT_EQ(std::string(line), "render scale 1.5, was 2, at 0.0 s (the frames judged last took 20.0 ms on average)");
    EXPECT_FALSE(adaptive.Judge(20 * kMs, line, sizeof line));
    Host::LimitRenderScale(Host::kMaxRenderScale);
    Host::SetRenderScale(1);
    DemoSys::ApplyRenderScale();
}

// What a host asks for is taken to the nearest quarter within 1 and the largest scale.
TEST(RenderScale, AskedScalesGoToTheNearestQuarterWithinTheRange) {
    const struct {
        float asked, applied;
    } cases[] = {{1.5f, 1.5f}, {1.3f, 1.25f}, {2.9f, 3.0f}, {0.5f, 1.0f},
                 {-3.0f, 1.0f}, {12.0f, 8.0f}, {3.6f, 3.5f}, {3.625f, 3.75f}};
    for (const auto& c : cases) EXPECT_EQ(DemoSys::NearestRenderScale(c.asked), c.applied) << c.asked;
    Host::SetRenderScale(1.5f);
    DemoSys::ApplyRenderScale();
    EXPECT_EQ(DemoSys::ScaledPixels(320), 480);
    Host::SetRenderScale(1.25f);
    DemoSys::ApplyRenderScale();
    EXPECT_EQ(DemoSys::ScaledPixels(6), 8) << "7.5 rounds to a whole pixel";
    Host::SetRenderScale(1);
    DemoSys::ApplyRenderScale();
}
