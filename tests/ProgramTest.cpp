// Runs the real program as a user would and checks what it leaves behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Linux/Source/PngFile.h"
#include "TempTree.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
};

ProgramRun RunKestrel(const std::string& args) {
    ProgramRun run;
    const std::string command = std::string(KESTREL_EXE) + " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

TEST(Program, HeadlessShotWritesThePortraitScreen) {
    TempTree out;
    const ProgramRun run = RunKestrel("--headless --fixed-fps 60 --shot 0,0.5 --out " + out.Path());
    EXPECT_EQ(run.status, 0);
    for (const char* name : {"/shot_0000.000.png", "/shot_0000.500.png"}) {
        PngImage image;
        std::string error;
        ASSERT_TRUE(ReadPng(out.Path() + name, image, error)) << error;
        EXPECT_EQ(image.width, 320);
        EXPECT_EQ(image.height, 480);
    }
}

TEST(Program, BadOptionsPrintUsageAndExitTwo) {
    for (const char* args : {"--no-such-option", "--fixed-fps 0", "--fixed-fps", "--shot 1"}) {
        const ProgramRun run = RunKestrel(args);
        EXPECT_EQ(run.status, 2) << args;
    }
    const ProgramRun help = RunKestrel("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: kestrel"), std::string::npos);
}
