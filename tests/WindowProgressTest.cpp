// The progress the timeline hands a scene is its time over a divisor that
// comes from the show's window boundaries, 139.4 s being a single-precision
// decimal (exactly 139.399993896484375).
#include <gtest/gtest.h>

#include "DemoSys/Timeline.h"

namespace {

constexpr double kOverlayEndExactly = 139.399993896484375;

SceneCall Only(double t) {
    SectionCounters counters;
    const FrameScenes f = ScheduleScenes(t, false, counters);
    EXPECT_EQ(f.count, 1);
    return f.calls[0];
}

}  // namespace

TEST(WindowProgress, TheOverlayDividesInDoubleByItsWindowsLength) {
    // Frames at 60 per second; with the decimal 11.899994 as divisor each of
    // the first five would come out one unit in the last place smaller.
    for (int frame : {1, 2, 4, 8, 16, 200, 700}) {
        const double t = 127.5 + frame / 60.0;
        const SceneCall call = Only(t);
        ASSERT_EQ(call.scene, SceneId::overlay);
        const float fxTime = static_cast<float>(t - 127.5);
        EXPECT_EQ(call.fxTime, fxTime);
        EXPECT_EQ(call.fxProgress, static_cast<float>(fxTime / (kOverlayEndExactly - 127.5))) << "frame " << frame;
    }
}

TEST(WindowProgress, TheParticleFigureDividesInSingleBySpanToTheOverlaysEnd) {
    const float divisor = static_cast<float>(kOverlayEndExactly - 82.0);  // exact in single precision
    for (double t : {82.25, 90.1, 104.4}) {
        const SceneCall call = Only(t);
        ASSERT_EQ(call.scene, SceneId::particleScene);
        const float fxTime = static_cast<float>(t - 82.0);
        EXPECT_EQ(call.fxProgress, fxTime / divisor) << "t " << t;
    }
}
