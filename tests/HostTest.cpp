#include <gtest/gtest.h>

#include "Linux/Source/CapturingSurface.h"
#include "Linux/Source/HostOptions.h"
#include "Linux/Source/PlatformClock.h"
#include "Linux/Source/RunLoop.h"
#include "kestrel_linuxViewController.h"

namespace {

bool Parse(std::vector<const char*> args, HostOptions& options, std::string& error) {
    args.insert(args.begin(), "kestrel");
    return ParseHostOptions(static_cast<int>(args.size()), args.data(), options, error);
}

}  // namespace

TEST(HostOptions, AcceptsTheDocumentedOptions) {
    HostOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--headless", "--fixed-fps", "60", "--shot", "3,0.5,1", "--out", "/tmp"}, o, error)) << error;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.fixedFps, 60.0);
    EXPECT_EQ(o.shotTimes, (std::vector<double>{0.5, 1.0, 3.0}));  // in playing order
    EXPECT_EQ(o.outDir, "/tmp");

    HostOptions none;
    EXPECT_TRUE(Parse({}, none, error));
    EXPECT_FALSE(none.headless);
    EXPECT_EQ(none.fixedFps, 0.0);
}

TEST(HostOptions, RejectsUnknownOptionsAndBadValues) {
    const std::vector<std::vector<const char*>> bad = {
        {"--fast"},          {"--fixed-fps"},          {"--fixed-fps", "0"},        {"--fixed-fps", "-3"},
        {"--fixed-fps", "x"}, {"--fixed-fps", "60fps"}, {"--shot", "1,,2", "--out", "/tmp"},
        {"--shot", "1"},     {"--out", "/tmp"},        {"--shot", "-1", "--out", "/tmp"}, {"--fixed-fps", "nan"}};
    for (const auto& args : bad) {
        HostOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(PlatformClock, FixedRateCountsFrames) {
    PlatformClock::UseFixedRate(50.0);
    EXPECT_EQ(PlatformClock::Now(), 0.0);
    for (int i = 0; i < 25; ++i) PlatformClock::AdvanceFrame();
    EXPECT_DOUBLE_EQ(PlatformClock::Now(), 0.5);
    PlatformClock::UseFixedRate(0.0);
    EXPECT_FALSE(PlatformClock::IsFixed());
    EXPECT_GT(PlatformClock::Now(), 1e9);  // wall-clock seconds since 1970
}

TEST(RunLoop, DisplayLinkFiresEveryIntervalAndStopsWhenInvalidated) {
    int fired = 0;
    DisplayLink link([&] { ++fired; });
    link.setFrameInterval(3);
    link.addToRunLoop();
    for (int i = 0; i < 9; ++i) RunLoop::Main().Refresh();
    EXPECT_EQ(fired, 3);
    link.invalidate();
    RunLoop::Main().Refresh();
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(RunLoop::Main().HasLinks());
}

TEST(RunLoop, ALinkMayInvalidateItselfWhileFiring) {
    int fired = 0;
    std::unique_ptr<DisplayLink> link;
    link = std::make_unique<DisplayLink>([&] {
        ++fired;
        link->invalidate();
    });
    link->addToRunLoop();
    RunLoop::Main().Refresh();
    RunLoop::Main().Refresh();
    EXPECT_EQ(fired, 1);
}

TEST(ViewController, AnimationIntervalAndActiveState) {
    kestrel_linuxViewController controller;
    controller.setAnimationFrameInterval(0);
    controller.setAnimationFrameInterval(-2);
    EXPECT_EQ(controller.getAnimationFrameInterval(), 1);

    // Not in a window yet: becoming active starts nothing.
    controller.applicationDidBecomeActive();
    EXPECT_FALSE(controller.isAnimating());
    EXPECT_FALSE(RunLoop::Main().HasLinks());

    controller.startAnimation();
    EXPECT_TRUE(controller.isAnimating());
    EXPECT_TRUE(RunLoop::Main().HasLinks());
    controller.setAnimationFrameInterval(2);  // restarts with the new interval
    EXPECT_TRUE(controller.isAnimating());
    EXPECT_EQ(controller.getAnimationFrameInterval(), 2);
    controller.stopAnimation();
    EXPECT_FALSE(RunLoop::Main().HasLinks());
}

TEST(CapturingSurface, ShotNamesSortByTime) {
    EXPECT_EQ(CapturingSurface::ShotFileName(0.0), "shot_0000.000.png");
    EXPECT_EQ(CapturingSurface::ShotFileName(29.6), "shot_0029.600.png");
    EXPECT_LT(CapturingSurface::ShotFileName(9.5), CapturingSurface::ShotFileName(10.0));
}
