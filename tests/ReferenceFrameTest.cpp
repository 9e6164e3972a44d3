// The whole show against its reference frames: one run of the program renders every time listed in
// tests/data/reference/frames.txt, each compared with the reference of the same name. The references are the show's
// own pictures, each looked at by a person and found to show what its line says; the rule tests (SceneLogicTest,
// SceneRenderTest, TimelineTest and others) compute the rules' values independently. A change meant to alter the
// picture renders new ones with scripts/update-references.sh; look at every new frame before committing it.
//
// The tolerance, measured on Mesa's llvmpipe (2026-12-08): the rendering machine, one rasteriser thread and the
// sanitizer build give the references to the bit; another machine differs in 22 of 66 frames by up to 2 levels (the
// worst block 0.85, no pixel over 8). A material's picture loaded as a rectangle texture (nearest texel, no mipmaps)
// changes 52 frames, 20 of them passing the block and far limits (blocks up to 3.98 levels, at most 0.19% of pixels
// far off) while 0.21% to 6.5% of pixels move by more than 8: hence the near measure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DemoSys/Timeline.h"
#include "FrameDifference.h"
#include "Linux/Source/CapturingSurface.h"
#include "TempTree.h"

namespace {

// Room for a rasteriser's rounding, well below any changed rule.
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
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ReferenceFrame frame;
        fields >> frame.time >> frame.scene >> std::ws;
        std::getline(fields, frame.shows);
        frames.push_back(frame);
    }
    return frames;
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
    const std::string name = CapturingSurface::ShotFileName(std::strtod(frame.time.c_str(), nullptr));
    PngImage expected, actual;
    std::string error;
    ASSERT_TRUE(ReadPng(kReferenceDir + "/" + name, expected, error)) << error;
    ASSERT_TRUE(ReadPng(sRendered->Path() + "/" + name, actual, error)) << error;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);

    const FrameDifference difference = CompareFrames(expected, actual);
    if (difference.worstBlock > kMaxBlock || difference.farShare > kMaxFarShare ||
        difference.nearShare > kMaxNearShare) {
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

// Each line names the scene the timeline really shows at its frame, so that a reference cannot silently come to show
// another scene.
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

PngImage Flat(int width, int height, uint8_t level) {
    PngImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, level);
    return image;
}

TEST(FrameDifference, ForgivesRoundingButNotAShapeMoved) {
    PngImage expected = Flat(64, 48, 40);
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

    // The square four pixels to the right: two 4 x 12 strips change by 180 levels in green, 96 of the 3072 pixels.
    PngImage moved = expected;
    for (int y = 10; y < 22; ++y) {
        for (int x = 20; x < 36; ++x) moved.rgba[(y * 64 + x) * 4 + 1] = (x >= 24) ? 220 : 40;
    }
    const FrameDifference shape = CompareFrames(expected, moved);
    EXPECT_DOUBLE_EQ(shape.farShare, 96.0 / 3072.0);
    EXPECT_DOUBLE_EQ(shape.nearShare, 96.0 / 3072.0);
    // The block from x 16 loses the strip x 20..23, rows 10..15: 24 of its 256 pixels by 180 levels (the block
    // from x 32 gains as much; the first found is named).
    EXPECT_DOUBLE_EQ(shape.worstBlock, 24.0 * 180.0 / 256.0);
    EXPECT_EQ(shape.worstBlockX, 16);
    EXPECT_EQ(shape.worstBlockY, 0);
}

TEST(FrameDifference, SeesABrightnessChangeThatNoPixelCrossesFarFor) {
    const PngImage expected = Flat(40, 20, 100);
    PngImage brighter = expected;
    for (size_t i = 0; i < brighter.rgba.size(); i += 4) brighter.rgba[i + 2] = 110;
    const FrameDifference difference = CompareFrames(expected, brighter);
    EXPECT_EQ(difference.farShare, 0.0);
    EXPECT_DOUBLE_EQ(difference.worstBlock, 10.0);
    EXPECT_DOUBLE_EQ(difference.nearShare, 1.0);  // every pixel 10 levels off
}

// A picture sampled another way: a level or two in most pixels, 9 to 12 in a few scattered ones, whose blocks
// barely move; only the near share sees them.
TEST(FrameDifference, CountsThePixelsASampleMovesBeyondRounding) {
    const PngImage expected = Flat(32, 32, 100);
    PngImage resampled = expected;
    for (size_t pixel = 0; pixel < 32 * 32; ++pixel)
        resampled.rgba[pixel * 4 + 1] = static_cast<uint8_t>(pixel % 16 == 3 ? 109 + pixel % 4 : 100 + pixel % 3);
    const FrameDifference difference = CompareFrames(expected, resampled);
    EXPECT_EQ(difference.farShare, 0.0);
    EXPECT_LT(difference.worstBlock, 2.0);
    EXPECT_DOUBLE_EQ(difference.nearShare, 64.0 / 1024.0);
}

}  // namespace
