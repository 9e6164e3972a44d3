// The demo's diagnostics leave through one sink, which a host may replace.
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

// Problems and progress notes arrive apart (a browser host sends them to its console's errors and log), one line
// each, whole even when longer than the stack buffer.
TEST_F(LogSink, DiagnosticsReachTheHostsSinkOneLineEachWithTheirLevel) {
    std::vector<float> cells;
    DemoNote("%d tiny balls", 648);
    EXPECT_FALSE(ReadForceFieldFile("/nonexistent/field.raw", cells));
    DemoLog("%d shards, %s", 18, "grown");
    const std::string word(2000, 'x'), edge(512, 'e');  // 512: the buffer with no room for the end
    DemoLog("<%s>", word.c_str());
    DemoNote("%s", edge.c_str());
    EXPECT_EQ(gLines, (std::vector<std::string>{"648 tiny balls",
                                                "/nonexistent/field.raw: cannot open the force field; the field stays "
                                                "as it was",
                                                "18 shards, grown", "<" + word + ">", edge}));
    const auto note = Host::LogLevel::note, problem = Host::LogLevel::problem;
    EXPECT_EQ(gLevels, (std::vector<Host::LogLevel>{note, problem, problem, problem, note}));
}
