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
    std::string out;  // standard output
    std::string err;  // standard error
};

std::string ReadAll(FILE* file) {
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    return text;
}

ProgramRun RunProgram(const std::string& exe, const std::string& args) {
    ProgramRun run;
    TempTree scratch;
    const std::string errPath = scratch.Path() + "/stderr";
    const std::string command = exe + " " + args + " 2>" + errPath;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    run.out = ReadAll(pipe);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = fopen(errPath.c_str(), "r")) {
        run.err = ReadAll(err);
        fclose(err);
    }
    return run;
}

ProgramRun RunKestrel(const std::string& args) { return RunProgram(KESTREL_EXE, args); }

size_t CountOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

double MeanBrightness(const PngImage& image) {
    double sum = 0.0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) sum += image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2];
    return sum / (3.0 * image.width * image.height);
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
    for (const char* args : {"--no-such-option", "--fixed-fps 0", "--fixed-fps", "--shot 1", "--record",
                             "--record x.mp4 --fixed-fps 30"}) {
        const ProgramRun run = RunKestrel(args);
        EXPECT_EQ(run.status, 2) << args;
    }
    const ProgramRun help = RunKestrel("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: kestrel"), std::string::npos);
}

// One run of the whole show serves every check of its end: the shot past
// 185 s is never reached, so the timeline itself ends the process.
TEST(Program, PlaysTheWholeShowFadesOutAndExitsZero) {
    TempTree out;
    const ProgramRun run = RunKestrel("--headless --fixed-fps 60 --shot 181.5,183.5,184.9,999 --out " + out.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(CountOf(run.err, "Playing musics.\n"), 1u);
    EXPECT_EQ(CountOf(run.err, "Initiamalizing with music: "), 1u);
    EXPECT_EQ(CountOf(run.out, " glError"), 0u) << run.out.substr(0, 2000);
    EXPECT_EQ(CountOf(run.out, "not found"), 0u);
    EXPECT_EQ(CountOf(run.out, "GOT EXCEPTION"), 0u);
    // A statistics line every 20 frames, the frame at 185 s included.
    EXPECT_EQ(CountOf(run.out, " DEMOTIME | "), 185u * 60u / 20u);
    EXPECT_NE(run.out.find("[0.333333 DEMOTIME | 20 FRAMES | 0.3 SECONDS | 60.0 FPS]\n"), std::string::npos);

    double brightness[3];
    const char* names[3] = {"/shot_0181.500.png", "/shot_0183.500.png", "/shot_0184.900.png"};
    for (int i = 0; i < 3; ++i) {
        PngImage image;
        std::string error;
        ASSERT_TRUE(ReadPng(out.Path() + names[i], image, error)) << error;
        brightness[i] = MeanBrightness(image);
    }
    EXPECT_GT(brightness[0], 20.0);
    EXPECT_NEAR(brightness[1], 0.5 * brightness[0], 0.15 * brightness[0]);
    EXPECT_LT(brightness[2], 0.05 * brightness[0] + 1.0);
}

TEST(Program, WithoutTheMusicTheShowPlaysSilently) {
    TempTree tree;
    const std::string exe(KESTREL_EXE);
    const std::string bundle = exe.substr(0, exe.rfind('/'));
    ASSERT_EQ(std::system(("cp -r '" + bundle + "' '" + tree.Path() + "/kestrel.app'").c_str()), 0);
    ASSERT_EQ(std::remove((tree.Path() + "/kestrel.app/demomusa.mp3").c_str()), 0);
    const ProgramRun run =
        RunProgram(tree.Path() + "/kestrel.app/kestrel", "--headless --fixed-fps 60 --shot 2 --out " + tree.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(CountOf(run.err, "Playing musics.\n"), 1u);
    PngImage image;
    std::string error;
    EXPECT_TRUE(ReadPng(tree.Path() + "/shot_0002.000.png", image, error)) << error;
}

// A copy of the bundle without one scene's data files: the loaders say what
// is missing and the show plays to its end.
TEST(Program, AShowWithoutOneScenesFilesStillPlaysToTheEnd) {
    TempTree tree;
    const std::string exe(KESTREL_EXE);
    const std::string bundle = exe.substr(0, exe.rfind('/'));
    ASSERT_EQ(std::system(("cp -r '" + bundle + "' '" + tree.Path() + "/kestrel.app'").c_str()), 0);
    ASSERT_EQ(std::system(("rm -f '" + tree.Path() + "/kestrel.app/FxData/ParticleGirl/'*").c_str()), 0);
    // A coarse fixed clock keeps the run short; the timeline is the same.
    const ProgramRun run = RunProgram(tree.Path() + "/kestrel.app/kestrel", "--headless --fixed-fps 12");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Unable to read model!"), std::string::npos);
    EXPECT_NE(run.err.find("forcefield.raw: cannot open"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("particles.raw: no particle file"), std::string::npos) << run.err;
}

// A short recording: the last shot ends the show, which closes the video.
TEST(Program, RecordsTheShowAsAVideoWithItsMusic) {
    if (std::system("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    TempTree out;
    const std::string video = out.Path() + "/videos/show.mp4";
    const ProgramRun run = RunKestrel("--record " + video + " --shot 2 --out " + out.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("kestrel: recording finished"), std::string::npos) << run.err;
    const ProgramRun probe = RunProgram(
        "ffprobe", "-v error -show_entries stream=codec_name:format=duration -of default=noprint_wrappers=1 " + video);
    EXPECT_NE(probe.out.find("codec_name=h264"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("codec_name=aac"), std::string::npos) << probe.out;
    const size_t at = probe.out.find("duration=");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::atof(probe.out.c_str() + at + 9), 2.0, 0.2);
}
