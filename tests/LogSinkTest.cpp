// The demo's diagnostics leave through one sink, which a host may replace
// (a browser host sends them to its console).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DemoSys/DemoLog.h"
#include "DemoSys/Host.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"

namespace {

std::vector<std::string> gLines;
std::vector<Host::LogLevel> gLevels;

void Collect(Host::LogLevel level, const char* line) {
    gLines.emplace_back(line);
    gLevels.push_back(level);
}

class LogSink : public ::testing::Test {
protected:
    void SetUp() override {
        gLines.clear();
        gLevels.clear();
        Host::SetLogSink(Collect);
    }
    void TearDown() override { Host::SetLogSink(nullptr); }
};

}  // namespace

TEST_F(LogSink, RuntimeDiagnosticsReachTheHostsSinkOneLineEach) {
    std::vector<float> cells;
    EXPECT_FALSE(ReadForceFieldFile("/nonexistent/field.raw", cells));
    DemoLog("%d shards, %s", 18, "grown");
    ASSERT_EQ(gLines.size(), 2u);
    EXPECT_EQ(gLines[0], "/nonexistent/field.raw: cannot open the force field; the field stays as it was");
    EXPECT_EQ(gLines[1], "18 shards, grown");
}

TEST_F(LogSink, LinesLongerThanTheStackBufferArriveWhole) {
    const std::string word(2000, 'x');
    DemoLog("<%s>", word.c_str());
    ASSERT_EQ(gLines.size(), 1u);
    EXPECT_EQ(gLines[0], "<" + word + ">");
}

// A browser host sends ordinary lines to its console's log and problems to
// its errors.
TEST_F(LogSink, ProgressNotesArriveApartFromProblems) {
    std::vector<float> cells;
    DemoNote("%d tiny balls", 648);
    EXPECT_FALSE(ReadForceFieldFile("/nonexistent/field.raw", cells));
    DemoNote("<%s>", std::string(1000, 'n').c_str());
    ASSERT_EQ(gLines.size(), 3u);
    EXPECT_EQ(gLines[0], "648 tiny balls");
    EXPECT_EQ(gLines[2].size(), 1002u);
    const std::vector<Host::LogLevel> expected = {Host::LogLevel::note, Host::LogLevel::problem, Host::LogLevel::note};
    EXPECT_EQ(gLevels, expected);
}
