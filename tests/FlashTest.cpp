// The flash counter against pictures and luminance runs whose flashes are
// known by construction, then against the show: its worst stretch breaks the
// rule as made and keeps to it in the gentle mode.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "ShellRun.h"
#include "tools/flashcount/FlashRule.h"

namespace {

constexpr int kFps = 60;

// A run of `seconds` at a dark level with pulses of `lift` for 3 frames every `period` frames.
std::vector<double> Pulses(double dark, double lift, int period, int seconds) {
    std::vector<double> run(seconds * kFps, dark);
    for (size_t i = 5; i + 3 <= run.size(); i += period)
        for (int k = 0; k < 3; ++k) run[i + k] = dark + lift;
    return run;
}

// The most changes any second of the run holds.
int MostInASecond(const std::vector<double>& run) {
    const std::vector<flash::Change> changes = flash::OpposingChanges(run);
    int most = 0;
    for (int first = 0; first < static_cast<int>(run.size()); ++first)
        most = std::max(most, flash::ChangesIn(changes, first, first + kFps));
    return most;
}

TEST(FlashRule, RelativeLuminanceDecodesSrgb) {
    EXPECT_NEAR(flash::RelativeLuminance(255, 255, 255), 1.0, 1e-9);
    EXPECT_NEAR(flash::RelativeLuminance(128, 128, 128), 0.2158605, 1e-6);  // sRGB's mid grey
    EXPECT_NEAR(flash::RelativeLuminance(0, 255, 0), 0.7152, 1e-9);
    EXPECT_NEAR(flash::RelativeLuminance(10, 0, 0), 0.2126 * 10.0 / 255.0 / 12.92, 1e-9);  // the linear toe
}

// White over the top left quarter of a 12 x 8 picture: the quarters that overlap it hold their share.
TEST(FlashRule, AreasAreTheWholeAndNineOverlappingQuarters) {
    const int w = 12, h = 8;
    std::vector<unsigned char> rgb(w * h * 3, 0);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x)
            for (int c = 0; c < 3; ++c) rgb[(y * w + x) * 3 + c] = 255;
    double area[flash::kAreas];
    flash::AreaLuminance(rgb.data(), w, h, area);
    const double expected[flash::kAreas] = {0.25, 1.0, 0.5, 0.0, 0.5, 0.25, 0.0, 0.0, 0.0, 0.0};
    for (int a = 0; a < flash::kAreas; ++a) EXPECT_NEAR(area[a], expected[a], 1e-9) << flash::AreaName(a);
}

TEST(FlashRule, FindsChangesOfATenthWithADarkerStateBelowEightTenths) {
    struct Row {
        const char* what;
        std::vector<double> run;
        int most;
    };
    std::vector<double> ramp(2 * kFps, 0.1);
    for (int i = 0; i < 50; ++i) ramp[i] = 0.1 + 0.01 * i;  // a slow rise of 0.49, then a cut back
    const Row rows[] = {
        {"six pulses a second", Pulses(0.05, 0.35, 10, 3), 12},
        {"three pulses a second", Pulses(0.05, 0.35, 20, 3), 6},
        {"pulses under the change of 0.1", Pulses(0.05, 0.09, 10, 3), 0},
        {"pulses of exactly 0.1", Pulses(0.3, 0.1, 10, 3), 12},
        {"bright pulses whose darker state is 0.8 or more", Pulses(0.82, 0.18, 10, 3), 0},
        {"pulses from just below 0.8", Pulses(0.78, 0.2, 10, 3), 12},
        {"one slow rise and a fall", ramp, 2},
    };
    for (const Row& row : rows) EXPECT_EQ(MostInASecond(row.run), row.most) << row.what;
}

// Three flashes are six changes; a seventh in the second is one too many.
TEST(FlashRule, ASecondHoldsTheChangesDatedInIt) {
    const std::vector<flash::Change> changes = {{10, true}, {20, false}, {70, true}, {80, false}};
    EXPECT_EQ(flash::ChangesIn(changes, 0, 60), 2);
    EXPECT_EQ(flash::ChangesIn(changes, 20, 80), 2);
    EXPECT_EQ(flash::ChangesIn(changes, 21, 81), 2);
    EXPECT_EQ(flash::ChangesIn(changes, 21, 80), 1);
    EXPECT_FALSE(flash::TooMany(6));
    EXPECT_TRUE(flash::TooMany(7));
}

std::string Show(const std::string& arguments) { return std::string(KESTREL_EXE) + " --headless --fixed-fps 60 " + arguments; }

// Five seconds from 148 s, the show's worst, as pictures of every frame.
ProgramRun CountShowFlashes(const TempTree& out, const char* mode) {
    std::string times;
    for (int frame = 148 * kFps; frame < 153 * kFps; ++frame) {
        char time[32];
        snprintf(time, sizeof time, "%.17g", frame / static_cast<double>(kFps));
        times += (times.empty() ? "" : ",") + std::string(time);
    }
    const ProgramRun show = RunShell(Show("--start 148 " + std::string(mode) + " --upright --shot " + times + " --out " +
                                          out.Path() + " >/dev/null"));
    EXPECT_EQ(show.status, 0) << show.err;
    return RunShell(std::string(FLASHCOUNT_EXE) + " " + out.Path());
}

TEST(FlashShow, TheWorstStretchFlashesTooOftenAsMade) {
    TempTree out;
    const ProgramRun count = CountShowFlashes(out, "");
    EXPECT_EQ(count.status, 1) << count.out << count.err;
    EXPECT_NE(count.out.find("300 frames at 60 a second (5.00 s), 480 x 320"), std::string::npos) << count.out;
    EXPECT_NE(count.out.find("with more than 3 flashes in some area: 1, 3-4\n"), std::string::npos) << count.out;
}

TEST(FlashShow, TheGentleModeKeepsToThreeFlashesASecond) {
    TempTree out;
    const ProgramRun count = CountShowFlashes(out, "--gentle");
    EXPECT_EQ(count.status, 0) << count.out << count.err;
    EXPECT_NE(count.out.find("with more than 3 flashes in some area: none\n"), std::string::npos) << count.out;
    // The hold looks back half a second: a lone picture, whose seek draws
    // only the frames it needs, is the run's, bass flash and all.
    TempTree lone;
    ASSERT_EQ(RunShell(Show("--gentle --upright --shot 151.13333333333333 --out " + lone.Path() + " >/dev/null")).status, 0);
    EXPECT_EQ(RunShell("cmp " + lone.Path() + "/shot_0151.133.png " + out.Path() + "/shot_0151.133.png").status, 0);
}

}  // namespace
