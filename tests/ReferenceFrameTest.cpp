// The whole show against its reference frames: one run of the program renders
// every time listed in tests/data/reference/frames.txt, and each picture is
// compared with the reference of the same name.
//
// The references are the show's own pictures. Each was looked at by a person
// and found to show what its line in frames.txt says, which is what the
// scene's rules make of that moment; the rule tests beside this one
// (SceneLogicTest, SceneRenderTest, TimelineTest and the others) compute the
// rules' values independently. When a change is meant to alter the picture,
// scripts/update-references.sh renders new references; look at every new
// frame before committing it.
//
// The tolerance, from measured figures (Mesa's llvmpipe, 2026-12-08):
// - on the machine that rendered them, two runs, one rasteriser thread
//   (LP_NUM_THREADS=0) and the sanitizer build give the references to the bit;
// - on another machine the same build differs in 22 of the 66 frames by up to
//   2 levels: the worst block by 0.85 levels, no pixel by more than 8;
// - a material's picture loaded as a rectangle texture (nearest texel, no
//   mipmaps) changes 52 frames: in 28 a block's mean or the far pixels pass
//   their limits, but in 20 more neither does (blocks up to 3.98 levels, at
//   most 0.19% of the pixels far off) while 0.21% to 6.5% of the pixels move
//   by more than 8 levels. Hence the third measure: a rasteriser's rounding
//   leaves no pixel that far off, a picture sampled another way leaves many.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DemoSys/Timeline.h"
#include "FrameDifference.h"
#include "TempTree.h"

namespace {

// The limits: room for a rasteriser's rounding, well below any changed rule.
constexpr double kMaxBlock = 4.0;
constexpr double kMaxFarShare = 0.0025;
constexpr double kMaxNearShare = 0.002;

const std::string kReferenceDir = KESTREL_SOURCE_DIR "/tests/data/reference";
const std::string kFailureDir = KESTREL_BINARY_DIR "/reference-failures";

struct ReferenceFrame {
    std::string time;  // as written in frames.txt, handed to --shot
    std::string scene;
    std::string shows;
};

std::vector<ReferenceFrame> ReadFrameTable() {
    std::vector<ReferenceFrame> frames;
    std::ifstream in(kReferenceDir + "/frames.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ReferenceFrame frame;
        fields >> frame.time >> frame.scene >> std::ws;
        std::getline(fields, frame.shows);
        frames.push_back(frame);
    }
    return frames;
}

// The program's name for the picture of a --shot time.
std::string PictureName(const std::string& time) {
    char name[64];
    std::snprintf(name, sizeof name, "shot_%08.3f.png", std::strtod(time.c_str(), nullptr));
    return name;
}

class ReferenceFrames : public testing::TestWithParam<ReferenceFrame> {
public:
    // One run of the program for every frame.
    static void SetUpTestSuite() {
        sRendered = new TempTree;
        std::string times;
        for (const ReferenceFrame& frame : ReadFrameTable()) times += (times.empty() ? "" : ",") + frame.time;
        const std::string command = std::string(KESTREL_EXE) + " --headless --fixed-fps 30 --upright --shot " + times +
                                    " --out '" + sRendered->Path() + "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        sRunStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static void TearDownTestSuite() {
        delete sRendered;
        sRendered = nullptr;
    }

protected:
    static TempTree* sRendered;
    static int sRunStatus;
};

TempTree* ReferenceFrames::sRendered = nullptr;
int ReferenceFrames::sRunStatus = -1;

TEST_P(ReferenceFrames, MatchesItsReference) {
    const ReferenceFrame& frame = GetParam();
    ASSERT_EQ(sRunStatus, 0) << "the program did not render the reference frames";
    const std::string name = PictureName(frame.time);
    PngImage expected, actual;
    std::string error;
    ASSERT_TRUE(ReadPng(kReferenceDir + "/" + name, expected, error)) << error;
    ASSERT_TRUE(ReadPng(sRendered->Path() + "/" + name, actual, error)) << error;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);

    const FrameDifference difference = CompareFrames(expected, actual);
    const bool matches = difference.worstBlock <= kMaxBlock && difference.farShare <= kMaxFarShare &&
                         difference.nearShare <= kMaxNearShare;
    if (!matches) {
        mkdir(kFailureDir.c_str(), 0755);
        const std::string sheet = kFailureDir + "/" + name;
        WritePng(sheet, expected.width * 3, expected.height, SideBySide(expected, actual).rgba.data(), error);
        ADD_FAILURE() << frame.scene << " at " << frame.time << " s (" << frame.shows << ") differs from its reference: "
                      << "a block by " << difference.worstBlock << " levels at (" << difference.worstBlockX << ", "
                      << difference.worstBlockY << "), " << 100.0 * difference.farShare
                      << "% of the pixels by more than " << kFarLevels << ", " << 100.0 * difference.nearShare
                      << "% by more than " << kNearLevels << ". Expected, actual and difference: " << sheet;
    }
}

std::string FrameTestName(const testing::TestParamInfo<ReferenceFrame>& info) {
    std::string name = info.param.scene + "_at_" + info.param.time;
    for (char& c : name) {
        if (c == '.') c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Show, ReferenceFrames, testing::ValuesIn(ReadFrameTable()), FrameTestName);

TEST(ReferenceFrameTable, CoversEveryScene) {
    const char* scenes[] = {"scene1", "crystalGrowth", "robot", "tunnel", "particleScene", "sawblade", "overlay", "manetjakt"};
    const std::vector<ReferenceFrame> frames = ReadFrameTable();
    EXPECT_GE(frames.size(), 48u);
    for (const char* scene : scenes) {
        int count = 0;
        for (const ReferenceFrame& frame : frames) count += frame.scene == scene;
        EXPECT_GE(count, 3) << scene;
    }
}

// Each line names the scene that the timeline really shows at its frame, so
// that a reference cannot silently come to show another scene.
TEST(ReferenceFrameTable, NamesTheSceneOnScreen) {
    const std::vector<ReferenceFrame> frames = ReadFrameTable();
    ASSERT_FALSE(frames.empty());
    SectionCounters counters;
    BeatTracker beats;
    size_t next = 0;
    for (long k = 0; next < frames.size(); ++k) {
        const double t = static_cast<double>(k) / 30.0;
        ASSERT_LT(t, kShowEnd);
        const FrameScenes scenes = ScheduleScenes(t, beats.Advance(t).bass, counters);
        // The last scene drawn into the frame is the one on screen.
        const char* onScreen = SceneName(scenes.calls[scenes.count - 1].scene);
        while (next < frames.size() && std::strtod(frames[next].time.c_str(), nullptr) <= t) {
            EXPECT_EQ(frames[next].scene, onScreen) << "at " << frames[next].time << " s (frame " << k << ")";
            ++next;
        }
    }
}

TEST(FrameDifference, ForgivesRoundingButNotAShapeMoved) {
    PngImage expected;
    expected.width = 64;
    expected.height = 48;
    expected.rgba.assign(64 * 48 * 4, 40);
    // A bright 12 x 12 square at (20, 10).
    for (int y = 10; y < 22; ++y) {
        for (int x = 20; x < 32; ++x) expected.rgba[(y * 64 + x) * 4 + 1] = 220;
    }
    PngImage rounded = expected;
    for (size_t i = 0; i < rounded.rgba.size(); i += 4) rounded.rgba[i] += (i / 4) % 2 ? 1 : -1;
    const FrameDifference noise = CompareFrames(expected, rounded);
    EXPECT_EQ(noise.farShare, 0.0);
    EXPECT_EQ(noise.nearShare, 0.0);
    EXPECT_LE(noise.worstBlock, 0.5);

    // The square four pixels to the right: two 4 x 12 strips change by 180
    // levels in green, 96 of the 3072 pixels.
    PngImage moved = expected;
    for (int y = 10; y < 22; ++y) {
        for (int x = 20; x < 36; ++x) moved.rgba[(y * 64 + x) * 4 + 1] = (x >= 24) ? 220 : 40;
    }
    const FrameDifference shape = CompareFrames(expected, moved);
    EXPECT_DOUBLE_EQ(shape.farShare, 96.0 / 3072.0);
    EXPECT_DOUBLE_EQ(shape.nearShare, 96.0 / 3072.0);
    // The block from x 16 loses the strip x 20..23, rows 10..15: 24 of its
    // 256 pixels by 180 levels (the block from x 32 gains as much; the first
    // found is named).
    EXPECT_DOUBLE_EQ(shape.worstBlock, 24.0 * 180.0 / 256.0);
    EXPECT_EQ(shape.worstBlockX, 16);
    EXPECT_EQ(shape.worstBlockY, 0);
}

TEST(FrameDifference, SeesABrightnessChangeThatNoPixelCrossesFarFor) {
    PngImage expected;
    expected.width = 40;
    expected.height = 20;
    expected.rgba.assign(40 * 20 * 4, 100);
    PngImage brighter = expected;
    for (size_t i = 0; i < brighter.rgba.size(); i += 4) brighter.rgba[i + 2] = 110;
    const FrameDifference difference = CompareFrames(expected, brighter);
    EXPECT_EQ(difference.farShare, 0.0);
    EXPECT_DOUBLE_EQ(difference.worstBlock, 10.0);
    EXPECT_DOUBLE_EQ(difference.nearShare, 1.0);  // every pixel 10 levels off
}

// A picture sampled another way: a level or two in most pixels, 9 to 12 in a
// few scattered ones, whose blocks barely move; only the near share sees them.
TEST(FrameDifference, CountsThePixelsASampleMovesBeyondRounding) {
    PngImage expected;
    expected.width = 32;
    expected.height = 32;
    expected.rgba.assign(32 * 32 * 4, 100);
    PngImage resampled = expected;
    for (size_t pixel = 0; pixel < 32 * 32; ++pixel)
        resampled.rgba[pixel * 4 + 1] = static_cast<uint8_t>(pixel % 16 == 3 ? 109 + pixel % 4 : 100 + pixel % 3);
    const FrameDifference difference = CompareFrames(expected, resampled);
    EXPECT_EQ(difference.farShare, 0.0);
    EXPECT_LT(difference.worstBlock, 2.0);
    EXPECT_DOUBLE_EQ(difference.nearShare, 64.0 / 1024.0);
}

}  // namespace
