// Runs the real program as a user would and checks what it leaves behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Linux/Source/CapturingSurface.h"
#include "Linux/Source/PngFile.h"
#include "ShellRun.h"
#include "TempTree.h"

namespace {

ProgramRun RunProgram(const std::string& exe, const std::string& args) { return RunShell(exe + " " + args); }
ProgramRun RunKestrel(const std::string& args) { return RunProgram(KESTREL_EXE, args); }

// The program run from a working directory, after settings such as "HOME=/x" or "env -u HOME".
ProgramRun RunKestrelIn(const std::string& dir, const std::string& environment, const std::string& args) {
    return RunShell("cd '" + dir + "' && " + environment + " " + KESTREL_EXE + " " + args);
}

// The bundle copied into the tree as kestrel.app; its program.
std::string CopyOfTheBundle(const TempTree& tree) {
    const std::string exe(KESTREL_EXE);
    if (std::system(("cp -r '" + exe.substr(0, exe.rfind('/')) + "' '" + tree.Path() + "/kestrel.app'").c_str()) != 0)
        ADD_FAILURE() << "no copy of the bundle";
    return tree.Path() + "/kestrel.app/kestrel";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

PngImage Picture(const std::string& path) {
    PngImage image;
    std::string error;
    if (!ReadPng(path, image, error)) ADD_FAILURE() << path << ": " << error;
    return image;
}

bool Installed(const std::string& tools) { return std::system(("for t in " + tools + "; do command -v $t; done >/dev/null").c_str()) == 0; }
#define SKIP_WITHOUT(tools) \
    if (!Installed(tools)) GTEST_SKIP() << tools << " not installed"

// ffprobe's entries for a video, one "key=value" a line.
std::string Probe(const std::string& video, const std::string& options) {
    return RunProgram("ffprobe", "-v error " + options + " -of default=noprint_wrappers=1 '" + video + "'").out;
}

// The names in a directory, one a line, sorted.
std::string Listing(const std::string& dir) { return RunShell("ls -A '" + dir + "'").out; }

// Lines of the program's standard error that begin "kestrel: ".
std::vector<std::string> HostLines(const std::string& err) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(err))
        if (line.rfind("kestrel: ", 0) == 0) lines.push_back(line);
    return lines;
}

bool Contains(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

size_t CountOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// A time as an option's value.
std::string Format(double t) {
    char text[32];
    snprintf(text, sizeof text, "%.9g", t);
    return text;
}

double Seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double MeanBrightness(const PngImage& image) {
    double sum = 0.0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) sum += image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2];
    return sum / (3.0 * image.width * image.height);
}

// The program started in the background with its standard error in a file, to be stopped by a signal once it has
// said a given thing. Each entry of the environment changes is "NAME=value" to set or "NAME" to unset.
class BackgroundRun {
public:
    BackgroundRun(const std::string& dir, std::vector<std::string> args, std::vector<std::string> environment = {})
        : mErrPath(mScratch.Path() + "/err") {
        args.insert(args.begin(), KESTREL_EXE);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        mPid = fork();
        if (mPid != 0) return;
        for (std::string& change : environment) {
            if (change.find('=') == std::string::npos) unsetenv(change.c_str());
            else putenv(change.data());
        }
        dup2(open("/dev/null", O_WRONLY), 1);
        dup2(open(mErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        if (chdir(dir.c_str()) == 0) execv(KESTREL_EXE, argv.data());
        _exit(127);
    }
    ~BackgroundRun() {
        if (mPid > 0) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
    }
    std::string Err() const { return ReadFile(mErrPath); }
    // Waits until standard error holds the text; false when the program ended or the time ran out first.
    bool WaitFor(const std::string& text, double limit = 60.0) const {
        for (const double start = Seconds(); Seconds() - start < limit; usleep(20000)) {
            if (Contains(Err(), text)) return true;
            if (waitpid(mPid, nullptr, WNOHANG) != 0) return false;
        }
        return false;
    }
    // Sends the signal and answers the exit status, or -1 when the program was killed by a signal or had not ended
    // after the limit.
    int Stop(int signal, double limit = 60.0) {
        kill(mPid, signal);
        int status = 0;
        for (const double start = Seconds(); Seconds() - start < limit; usleep(20000)) {
            if (waitpid(mPid, &status, WNOHANG) == mPid) {
                mPid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
        }
        return -1;
    }

private:
    TempTree mScratch;
    std::string mErrPath;
    pid_t mPid = -1;
};

}  // namespace

// Shots of the portrait screen; times that share a picture's name write one picture, and -0 is 0.
TEST(Program, HeadlessShotWritesThePortraitScreen) {
    TempTree tree;
    const ProgramRun run =
        RunKestrelIn(tree.Path(), "", "--headless --fixed-fps 60 --shot=-0,0.5,0.5 --shot 0.5004 --out shots");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Listing(tree.Path() + "/shots"), "shot_0000.000.png\nshot_0000.500.png\n");
    for (const char* name : {"/shots/shot_0000.000.png", "/shots/shot_0000.500.png"}) {
        const PngImage image = Picture(tree.Path() + name);
        EXPECT_EQ(image.width, 320);
        EXPECT_EQ(image.height, 480);
    }
    EXPECT_EQ(CountOf(run.err, "kestrel: wrote "), 2u) << run.err;
    // 0.5004 is another time, which a finer clock shows on another frame.
    EXPECT_EQ(CountOf(run.err, "kestrel: --shot 0.5004 shares the picture name shot_0000.500.png with 0.5,"), 1u)
        << run.err;
    EXPECT_EQ(CountOf(run.err, "shares the picture name"), 1u) << run.err;
}

// A usage error (the parser's table, HostOptions, holds every kind) ends with status 2 before the show loads, its
// first line naming the cause, and leaves nothing behind.
TEST(ProgramOptions, AUsageErrorNamesItsCauseAndExitsTwoBeforeLoading) {
    TempTree tree;
    const ProgramRun run = RunKestrelIn(tree.Path(), "", "--no-such-option");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(HostLines(run.err).at(0), "'--no-such-option'")) << run.err;
    EXPECT_FALSE(Contains(run.err, "Playing musics."));
    EXPECT_EQ(Listing(tree.Path()), "");
}

// The one run of the whole show, every frame drawn, to its end.
TEST(Program, PlaysTheWholeShowAndExitsZero) {
    const ProgramRun run = RunKestrel("--headless --fixed-fps 60");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(CountOf(run.err, "Playing musics.\n"), 1u);
    EXPECT_EQ(CountOf(run.err, "Initiamalizing with music: "), 1u);
    EXPECT_EQ(CountOf(run.out, " glError"), 0u) << run.out.substr(0, 2000);
    EXPECT_EQ(CountOf(run.out, "not found"), 0u);
    EXPECT_EQ(CountOf(run.out, "GOT EXCEPTION"), 0u);
    // A statistics line every 20 frames; frame 11100, at 185 s, ends the show after its line.
    EXPECT_EQ(CountOf(run.out, " DEMOTIME | "), 11100u / 20u);
    EXPECT_TRUE(Contains(run.out, "[0.333333 DEMOTIME | 20 FRAMES | 0.3 SECONDS | 60.0 FPS]\n"));
    EXPECT_TRUE(Contains(run.out, "[185.000000 DEMOTIME | 11100 FRAMES | 0.3 SECONDS | 60.0 FPS]\n"));
}

// Without the music or one scene's data files the loaders say what is missing and the show plays to its end,
// silently.
TEST(Program, AShowWithoutOneScenesFilesStillPlaysToTheEnd) {
    TempTree tree;
    const std::string exe = CopyOfTheBundle(tree);
    ASSERT_EQ(std::remove((tree.Path() + "/kestrel.app/demomusa.mp3").c_str()), 0);
    ASSERT_EQ(std::system(("rm -f '" + tree.Path() + "/kestrel.app/FxData/ParticleGirl/'*").c_str()), 0);
    // A coarse fixed clock keeps the run short; the timeline is the same.
    const ProgramRun run = RunProgram(exe, "--headless --fixed-fps 12");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, "Unable to read model!"));
    EXPECT_TRUE(Contains(run.err, "forcefield.raw: cannot open")) << run.err;
    EXPECT_TRUE(Contains(run.err, "particles.raw: no particle file")) << run.err;
    EXPECT_EQ(CountOf(run.err, "Playing musics.\n"), 1u);
}

namespace {

// One shot at least in every scene on a clock of one frame a second (build/scene-at 1 TIMES names the scenes).
const char* const kOneShotPerScene = "5,22,35,60,69,88,112,128,145";
// Before this time film grain puts noise of its own on every pixel, which averages out only over a few.
constexpr double kGrainEnd = 29.6;

// Mean absolute difference per channel between the reference's block x block blocks and the scaled picture's.
double MeanBlockDifference(const PngImage& scaled, const PngImage& reference, int scale, int block) {
    auto blockMean = [](const PngImage& image, int x0, int y0, int size, int c) {
        double sum = 0.0;
        for (int y = y0; y < y0 + size; ++y)
            for (int x = x0; x < x0 + size; ++x) sum += image.rgba[(static_cast<size_t>(y) * image.width + x) * 4 + c];
        return sum / (size * size);
    };
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y + block <= reference.height; y += block)
        for (int x = 0; x + block <= reference.width; x += block)
            for (int c = 0; c < 3; ++c, ++count)
                sum += std::abs(blockMean(scaled, x * scale, y * scale, block * scale, c) -
                                blockMean(reference, x, y, block, c));
    return sum / count;
}

}  // namespace

// Shots at render scales 2 and 3 are N times the size and, averaged over N x N blocks, the scale-1 picture.
TEST(ProgramRenderScale, ScaledShotsAreLargerAndMatchTheScaleOnePictureInEveryScene) {
    TempTree out;
    for (int scale : {1, 2, 3}) {
        const ProgramRun run = RunKestrel("--headless --fixed-fps 1 --scale " + std::to_string(scale) + " --shot " +
                                          kOneShotPerScene + " --out " + out.Path() + "/" + std::to_string(scale));
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const std::vector<std::string> names = Lines(Listing(out.Path() + "/1"));
    ASSERT_EQ(names.size(), 9u);
    for (const std::string& name : names) {
        const PngImage reference = Picture(out.Path() + "/1/" + name);
        ASSERT_EQ(reference.width, 320);
        for (int scale : {2, 3}) {
            const PngImage scaled = Picture(out.Path() + "/" + std::to_string(scale) + "/" + name);
            ASSERT_EQ(scaled.width, 320 * scale);
            ASSERT_EQ(scaled.height, 480 * scale);
            const int block = std::atof(name.c_str() + 5) < kGrainEnd ? 4 : 1;
            EXPECT_LT(MeanBlockDifference(scaled, reference, scale, block), 6.0) << name << " at scale " << scale;
        }
    }
}

// The robot (69 s), the saw blade (112 s) and the tunnel (160 s) step on every frame, so a 144 Hz display that
// played a frame on each refresh would run them faster (5 to 15% apart); played right they are under 1% apart.
TEST(ProgramRefreshRate, AFastDisplayShowsTheFramesOfASixtyHertzOne) {
    TempTree out;
    const std::string shots = " --shot 69,112,160 --out " + out.Path();
    ASSERT_EQ(RunKestrel("--headless --refresh-rate 144" + shots + "/fast").status, 0);
    ASSERT_EQ(RunKestrel("--headless --fixed-fps 60" + shots + "/sixty").status, 0);
    for (const char* name : {"/shot_0069.000.png", "/shot_0112.000.png", "/shot_0160.000.png"}) {
        const PngImage fast = Picture(out.Path() + "/fast" + name), sixty = Picture(out.Path() + "/sixty" + name);
        ASSERT_EQ(fast.rgba.size(), sixty.rgba.size());
        EXPECT_GT(MeanBrightness(sixty), 5.0) << name;
        double difference = 0.0;
        for (size_t i = 0; i < fast.rgba.size(); i += 4)
            for (size_t c = 0; c < 3; ++c) difference += std::abs(fast.rgba[i + c] - sixty.rgba[i + c]);
        EXPECT_LT(difference / (3.0 * fast.width * fast.height) / 255.0, 0.01) << name;
    }
}

// A show begun with --start plays the whole run's frames to the byte, at the start and a fifth of a second on, also
// on a 144 Hz display: a glitch window drawing random numbers (25.6 s), after a bass flash (30.3 s), the robot
// mid-walk (69 s), the particle figure forming (88 s) and in its last half second, whose top rows keep earlier
// frames' particles (104.25 s), the saw blade's sparks (112 s), the overlay (133.45 s), the jellyfish's stream
// (141.82 s), the tunnel (160 s) and the credits (170 s).
TEST(ProgramStart, EveryFrameFromTheStartIsTheWholeRunsFrame) {
    TempTree out;
    const std::vector<double> starts = {25.6, 30.3, 69.0, 88.0, 104.25, 112.0, 133.45, 141.82, 160.0, 170.0};
    std::string all;
    for (double t : starts) all += Format(t) + "," + Format(t + 0.2) + ",";
    all.pop_back();
    ASSERT_EQ(RunKestrel("--headless --fixed-fps 60 --shot " + all + " --out " + out.Path() + "/whole").status, 0);
    ASSERT_EQ(RunKestrel("--headless --refresh-rate 144 --shot 160 --out " + out.Path() + "/whole144").status, 0);
    for (double t : starts) {
        const std::string shots = Format(t) + "," + Format(t + 0.2);
        const ProgramRun run =
            RunKestrel("--headless --fixed-fps 60 --start " + Format(t) + " --shot " + shots + " --out " + out.Path() + "/start");
        ASSERT_EQ(run.status, 0) << run.err;
        for (double shot : {t, t + 0.2}) {
            const std::string name = "/" + CapturingSurface::ShotFileName(shot);
            EXPECT_EQ(ReadFile(out.Path() + "/start" + name), ReadFile(out.Path() + "/whole" + name)) << name;
        }
    }
    ASSERT_EQ(RunKestrel("--headless --refresh-rate 144 --start 160 --shot 160 --out " + out.Path() + "/start144").status, 0);
    EXPECT_EQ(ReadFile(out.Path() + "/start144/shot_0160.000.png"), ReadFile(out.Path() + "/whole144/shot_0160.000.png"));
    EXPECT_FALSE(ReadFile(out.Path() + "/whole/shot_0160.000.png").empty());
}

// A video from --start is the show from there, its music from there too.
TEST(ProgramStart, AVideoFromTheStartIsTheRestOfTheShow) {
    SKIP_WITHOUT("ffmpeg ffprobe");
    TempTree out;
    const std::string video = out.Path() + "/late.mp4";
    const ProgramRun run = RunKestrel("--record " + video + " --start 100 --shot 101.5 --out " + out.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string probe = Probe(video, "-count_frames -select_streams v -show_entries stream=nb_read_frames");
    EXPECT_TRUE(Contains(probe, "nb_read_frames=91")) << "100 s to 101.5 s at 60 a second: " << probe;
}

// A short recording: the last shot ends the show, which closes the video.
TEST(Program, RecordsTheShowAsAVideoWithItsMusic) {
    SKIP_WITHOUT("ffmpeg ffprobe");
    TempTree out;
    const std::string video = out.Path() + "/videos/show.mp4";
    const ProgramRun run = RunKestrel("--record " + video + " --shot 2 --out " + out.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "kestrel: recording finished")) << run.err;
    const std::string probe = Probe(video, "-show_entries stream=codec_name:format=duration");
    EXPECT_TRUE(Contains(probe, "codec_name=h264") && Contains(probe, "codec_name=aac")) << probe;
    ASSERT_TRUE(Contains(probe, "duration=")) << probe;
    EXPECT_NEAR(std::atof(probe.c_str() + probe.find("duration=") + 9), 2.0, 0.2);
    // The upright landscape picture.
    const std::string size = Probe(video, "-select_streams v -show_entries stream=width,height");
    EXPECT_TRUE(Contains(size, "width=480") && Contains(size, "height=320")) << size;
}

// SIGINT and SIGTERM end the show between frames with the conventional status; what was written stays whole.
TEST(ProgramSignals, ShotsWrittenBeforeTheSignalStayWhole) {
    TempTree dir;
    BackgroundRun run(dir.Path(), {"--headless", "--fixed-fps", "60", "--shot", "0,0.2,150", "--out", "shots"});
    ASSERT_TRUE(run.WaitFor("shot_0000.200.png (frame")) << run.Err();
    EXPECT_EQ(run.Stop(SIGTERM), 143);
    EXPECT_EQ(Listing(dir.Path() + "/shots"), "shot_0000.000.png\nshot_0000.200.png\n");
    for (const char* name : {"/shots/shot_0000.000.png", "/shots/shot_0000.200.png"})
        EXPECT_EQ(Picture(dir.Path() + name).height, 480);
    EXPECT_FALSE(Contains(run.Err(), "ended before the shot")) << run.Err();
}

TEST(ProgramSignals, AnInterruptedRecordingIsAVideoThatPlays) {
    SKIP_WITHOUT("ffmpeg ffprobe");
    TempTree dir;
    BackgroundRun run(dir.Path(), {"--record", "show.mp4"});
    ASSERT_TRUE(run.WaitFor("Playing musics.")) << run.Err();
    usleep(1000000);
    EXPECT_EQ(run.Stop(SIGINT), 130);
    EXPECT_TRUE(Contains(run.Err(), "kestrel: recording finished: show.mp4")) << run.Err();
    EXPECT_EQ(Listing(dir.Path()), "show.mp4\n");
    const ProgramRun probe = RunProgram("ffprobe", "-v error -count_frames -select_streams v -show_entries "
                                                   "stream=codec_name,nb_read_frames -of default=noprint_wrappers=1 " +
                                                       dir.Path() + "/show.mp4");
    EXPECT_TRUE(Contains(probe.out, "codec_name=h264")) << probe.out << probe.err;
    ASSERT_TRUE(Contains(probe.out, "nb_read_frames=")) << probe.out;
    EXPECT_GE(std::atoi(probe.out.c_str() + probe.out.find("nb_read_frames=") + 15), 1);
    EXPECT_EQ(probe.err, "");  // every frame decodes
}

// A signal while the show loads (seconds, in the first refresh) ends it at once, leaving neither picture nor video.
TEST(ProgramSignals, AnInterruptWhileLoadingEndsBeforeTheFirstFrameAndLeavesNothing) {
    SKIP_WITHOUT("ffmpeg");
    TempTree dir;
    // One program at a time, each stopped once its opening scene (the first of eight) is loaded.
    BackgroundRun shots(dir.Path(), {"--headless", "--fixed-fps", "60", "--shot", "0", "--out", "shots"});
    ASSERT_TRUE(shots.WaitFor("tiny balls")) << shots.Err();
    EXPECT_EQ(shots.Stop(SIGINT), 130) << shots.Err();
    BackgroundRun video(dir.Path(), {"--record", "show.mp4"});
    ASSERT_TRUE(video.WaitFor("tiny balls")) << video.Err();
    EXPECT_EQ(video.Stop(SIGINT), 130) << video.Err();
    EXPECT_EQ(Listing(dir.Path()), "shots\n");
    EXPECT_EQ(Listing(dir.Path() + "/shots"), "");
    EXPECT_FALSE(Contains(shots.Err() + video.Err(), "kestrel: wrote")) << shots.Err();
    EXPECT_FALSE(Contains(video.Err(), "recording finished")) << video.Err();
}

// The program finds its data beside its real file, even started through a link found on PATH (a name that neither
// the link's folder nor the working directory resolves): else no data tree and status 1.
TEST(ProgramBundle, ALinkToTheProgramFindsTheBundleBesideTheRealFile) {
    TempTree tree;
    tree.MakeDir("bin");
    ASSERT_EQ(symlink(KESTREL_EXE, (tree.Path() + "/bin/show").c_str()), 0);
    const ProgramRun run = RunShell("cd '" + tree.Path() + "' && PATH=\"$PWD/bin:$PATH\" show " +
                                    "--headless --fixed-fps 60 --shot 0.5 --out x");
    EXPECT_EQ(run.status, 0) << run.err.substr(0, 2000);
    EXPECT_EQ(CountOf(run.err, "cannot"), 0u) << run.err.substr(0, 2000);
    EXPECT_EQ(Picture(tree.Path() + "/x/shot_0000.500.png").height, 480);
}

// Without a usable data tree the program names every place it looked and ends with one.
TEST(ProgramBundle, WithoutAUsableDataTreeTheProgramNamesEveryPlaceItLookedAndEndsWithOne) {
    TempTree tree;
    const std::string lone = tree.MakeDir("lone/bin") + "/kestrel";
    ASSERT_EQ(std::system(("cp '" KESTREL_EXE "' '" + lone + "'").c_str()), 0);
    const ProgramRun run = RunProgram(lone, "--headless --fixed-fps 60");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string at = "kestrel:   " + tree.Path() + "/lone/";
    const std::vector<std::string> expected = {"kestrel: no usable data tree; looked in:", at + "bin: FxData missing",
                                               at + "share/kestrel: FxData missing"};
    EXPECT_EQ(Lines(run.err), expected);
}

// The cases of an unusable HOME are ApplicationTest's; here the program's one line and status.
TEST(ProgramStartUp, AMissingHomeIsOneLineAndStatusOne) {
    TempTree tree;
    const ProgramRun run = RunKestrelIn(tree.Path(), "env -u HOME", "--headless --fixed-fps 60");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "kestrel: Cannot open preferences and documents directory, (HOME ")) << run.err;
}

// A picture that cannot be written is never reported as success nor left cut short under its name.
TEST(ProgramOutput, AnUnusableOutFolderEndsAtOnceWithStatusOne) {
    TempTree tree;
    tree.Write("file", "x");
    const std::string locked = tree.MakeDir("locked");
    chmod(locked.c_str(), 0555);
    std::vector<std::string> folders = {"file"};
    if (access(locked.c_str(), W_OK) != 0) folders.push_back("locked");
    for (const std::string& folder : folders) {
        const ProgramRun run = RunKestrelIn(tree.Path(), "", "--headless --fixed-fps 60 --shot 0 --out " + folder);
        EXPECT_EQ(run.status, 1) << folder;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_TRUE(Contains(run.err, "kestrel: cannot write pictures to " + folder + ": ")) << run.err;
    }
    EXPECT_EQ(ReadFile(tree.Path() + "/file"), "x");
    chmod(locked.c_str(), 0700);
}

TEST(ProgramOutput, AFullDiskLeavesNoPartialPictureAndEndsWithOne) {
    TempTree tree;
    tree.MakeDir("disk");
    // A small filesystem of its own, in a private mount namespace.
    const std::string script =
        "mount -t tmpfs -o size=400k tmpfs \"$1\" || exit 99; \"$2\" --headless --fixed-fps 60 --shot 0,0.1,0.2 --out "
        "\"$1/shots\"; status=$?; cp -r \"$1/shots\" \"$3/left\"; exit $status";
    const ProgramRun probe = RunShell("unshare -rm true");
    if (probe.status != 0) GTEST_SKIP() << "cannot mount a small filesystem here: " << probe.err;
    const ProgramRun run = RunShell("unshare -rm sh -c '" + script + "' sh '" + tree.Path() + "/disk' '" KESTREL_EXE
                                    "' '" + tree.Path() + "'");
    if (run.status == 99) GTEST_SKIP() << "cannot mount a small filesystem here: " << run.err;
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, "No space left on device")) << run.err;
    // Whatever is left is a whole picture under its own name.
    for (const std::string& name : Lines(Listing(tree.Path() + "/left"))) {
        EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
        Picture(tree.Path() + "/left/" + name);
    }
}

// Recording: what can be refused is refused before the show loads.
TEST(ProgramRecording, AnUnusablePlaceIsRefusedBeforeLoading) {
    TempTree tree;
    tree.MakeDir("taken.mp4");
    tree.Write("file", "x");
    const struct {
        const char* environment;
        const char* name;
        const char* reason;
    } cases[] = {{"", "taken.mp4", "it is a directory"},
                 {"", "file/show.mp4", "Not a directory"},
                 {"PATH=/nonexistent", "show.mp4", "ffmpeg is not on PATH"}};
    for (const auto& c : cases) {
        const ProgramRun run = RunKestrelIn(tree.Path(), c.environment, std::string("--record ") + c.name);
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_TRUE(Contains(run.err, std::string("kestrel: cannot record to ") + c.name + ": " + c.reason)) << run.err;
    }
    EXPECT_EQ(Listing(tree.Path()), "file\ntaken.mp4\n");
}

// Encoders in place of ffmpeg that fail at once, after taking every frame, in the middle of a frame, and without
// a word: the reason is its first line, else how it ended.
TEST(ProgramRecording, AFailingEncoderIsReportedAndTheOldVideoStays) {
    const struct {
        const char* body;
        const char* reason;
    } cases[] = {{"echo \"Unknown encoder 'libx264'\" >&2; exit 1", "Unknown encoder 'libx264'"},
                 {"cat >/dev/null; echo \"Unknown encoder 'libx264'\" >&2; exit 1", "Unknown encoder 'libx264'"},
                 {"head -c 1000 >/dev/null; echo 'Conversion failed!' >&2; exit 1", "Conversion failed!"},
                 {"exit 3", "ffmpeg ended with status 3"},
                 {"kill -KILL $$", "ffmpeg was killed by signal 9"}};
    for (const auto& [body, reason] : cases) {
        TempTree tree;
        tree.MakeDir("bin");
        const std::string fake = tree.Write("bin/ffmpeg", std::string("#!/bin/sh\n") + body + "\n");
        chmod(fake.c_str(), 0755);
        tree.Write("show.mp4", "old");
        const ProgramRun run =
            RunKestrelIn(tree.Path(), "PATH=\"$PWD/bin:$PATH\"", "--record show.mp4 --shot 0.2 --out s");
        EXPECT_EQ(run.status, 1) << body;
        EXPECT_EQ(HostLines(run.err).back(), std::string("kestrel: cannot record to show.mp4: ") + reason) << run.err;
        EXPECT_FALSE(Contains(run.err, "ended before the shot")) << run.err;
        EXPECT_EQ(ReadFile(tree.Path() + "/show.mp4"), "old");
        EXPECT_EQ(Listing(tree.Path()), "bin\ns\nshow.mp4\n");
    }
}

// A display that cannot be reached is one line naming the one tried (an empty DISPLAY names none), and the show
// renders headless.
TEST(ProgramDisplay, AnUnreachableDisplayIsOneLineNamingTheOneTriedAndTheShowRendersHeadless) {
    const struct {
        const char* displays;
        const char* named;
    } cases[] = {{"env -u WAYLAND_DISPLAY DISPLAY=:97", "':97'"},
                 {"DISPLAY= WAYLAND_DISPLAY=kestrel-nowhere", "at WAYLAND_DISPLAY 'kestrel-nowhere' ("}};
    for (const auto& c : cases) {
        TempTree tree;
        const ProgramRun run = RunKestrelIn(tree.Path(), c.displays,
                                            "--fixed-fps 60 --shot 0.1 --out shots");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Listing(tree.Path() + "/shots"), "shot_0000.100.png\n");
        const std::vector<std::string> lines = HostLines(run.err);
        ASSERT_GE(lines.size(), 1u) << run.err;
        EXPECT_TRUE(Contains(lines[0], c.named) && Contains(lines[0], "rendering headless")) << lines[0];
        EXPECT_FALSE(Contains(lines[0], "DISPLAY ''")) << lines[0];
        EXPECT_EQ(CountOf(run.err, "headless"), 1u) << run.err;
    }
}

// Without any display the show plays headless on the wall clock: one line says so and how to watch it (not when
// --headless asked for it); ALSA's own lines about a missing sound card stay off the terminal.
TEST(ProgramDisplay, WithoutADisplayOneLineSaysHowToWatchAndAlsaKeepsQuiet) {
    TempTree dir;
    BackgroundRun run(dir.Path(), {}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_AUDIODRIVER=alsa"});
    ASSERT_TRUE(run.WaitFor("Playing musics.")) << run.Err();
    EXPECT_EQ(run.Stop(SIGTERM), 143);
    const std::vector<std::string> lines = HostLines(run.Err());
    ASSERT_GE(lines.size(), 1u) << run.Err();
    EXPECT_TRUE(Contains(lines[0], "no display") && Contains(lines[0], "headless") && Contains(lines[0], "--record"))
        << lines[0];
    // A machine with a sound card has nothing to keep quiet.
    if (Contains(run.Err(), "no audio device")) {
        EXPECT_FALSE(Contains(run.Err(), "ALSA lib")) << run.Err();
    }

    BackgroundRun asked(dir.Path(), {"--headless"}, {"DISPLAY", "WAYLAND_DISPLAY"});
    ASSERT_TRUE(asked.WaitFor("Playing musics.")) << asked.Err();
    EXPECT_EQ(asked.Stop(SIGTERM), 143);
    EXPECT_FALSE(Contains(asked.Err(), "no display")) << asked.Err();
}

// The program in a window on a virtual display server of the given screen size, ended by "stop" (a shell command run
// once the window exists, $show the program's process); out holds "status=N".
struct WindowRun {
    std::string out;
    std::string window;  // xwininfo's description
    std::string err;
    int Value(const std::string& key) const {
        const size_t at = window.find(key);
        return at == std::string::npos ? -1 : std::atoi(window.c_str() + at + key.size());
    }
    // Whether the grabbed screen holds the whole 480 x 320 picture at the window's place.
    bool HoldsThePicture(const PngImage& screen) const {
        const int left = Value("Absolute upper-left X:"), top = Value("Absolute upper-left Y:");
        return left >= 0 && top >= 0 && left + 480 <= screen.width && top + 320 <= screen.height;
    }
    // A channel of the picture's pixel (x, y) on the grabbed screen.
    int PictureLevel(const PngImage& screen, int x, int y, int c) const {
        const int left = Value("Absolute upper-left X:"), top = Value("Absolute upper-left Y:");
        return screen.rgba[(static_cast<size_t>(top + y) * screen.width + left + x) * 4 + c];
    }
};

// A shell command that writes the virtual display's whole screen as a picture.
std::string GrabScreen(const std::string& screen, const std::string& path) {
    return "ffmpeg -loglevel error -y -f x11grab -video_size " + screen + " -i \"$DISPLAY\" -frames:v 1 " + path;
}

WindowRun RunInWindow(const std::string& screen, const std::string& args, const std::string& stop) {
    TempTree tree;
    const std::string script =
        "Xvfb -displayfd 1 -screen 0 " + screen + "x24 >\"$1/display\" 2>/dev/null & server=$!; "
        "for i in $(seq 100); do [ -s \"$1/display\" ] && break; sleep 0.1; done; "
        "export DISPLAY=:$(cat \"$1/display\"); unset WAYLAND_DISPLAY; export SDL_AUDIODRIVER=dummy; "
        "\"$2\" " + args + " >/dev/null 2>\"$1/err\" & show=$!; "
        "for i in $(seq 600); do xwininfo -name kestrel >\"$1/window\" 2>/dev/null && break; sleep 0.1; done; "
        "sleep 1; " + stop + "; wait $show; echo \"status=$?\"; kill $server; wait $server";
    WindowRun run;
    run.out = RunShell("sh -c '" + script + "' sh '" + tree.Path() + "' '" KESTREL_EXE "'").out;
    run.window = ReadFile(tree.Path() + "/window");
    run.err = ReadFile(tree.Path() + "/err");
    return run;
}

// On a small screen the window holds the landscape picture once (twice would pass 80% of 800 x 600), centred; a
// signal ends the windowed show as it ends a headless one.
TEST(ProgramDisplay, TheWindowOpensLandscapeOnASmallScreenAndASignalEndsTheWindowedShow) {
    SKIP_WITHOUT("Xvfb xwininfo");
    const WindowRun run = RunInWindow("800x600", "--fixed-fps 60", "kill -INT $show");
    EXPECT_TRUE(Contains(run.out, "status=130")) << run.out << run.err;
    EXPECT_EQ(run.Value("Width:"), 480) << run.window;
    EXPECT_EQ(run.Value("Height:"), 320) << run.window;
    EXPECT_EQ(run.Value("Absolute upper-left X:"), 160) << run.window;
    EXPECT_EQ(run.Value("Absolute upper-left Y:"), 140) << run.window;
}

// On 1920 x 1080 the window opens at 960 x 640 and Escape ends the show with 0; --portrait keeps the portrait window,
// once (twice would pass 80% of the 1080 lines).
TEST(ProgramDisplay, TheWindowOpensAtTwiceTheLandscapePictureAndEscapeEndsItWithZero) {
    SKIP_WITHOUT("Xvfb xwininfo xdotool");
    const WindowRun run = RunInWindow("1920x1080", "", "xdotool search --name kestrel key --window %1 Escape");
    EXPECT_TRUE(Contains(run.out, "status=0")) << run.out << run.err;
    EXPECT_EQ(run.Value("Width:"), 960) << run.window;
    EXPECT_EQ(run.Value("Height:"), 640) << run.window;
    const WindowRun portrait = RunInWindow("1920x1080", "--portrait --scale 1", "kill -TERM $show");
    EXPECT_TRUE(Contains(portrait.out, "status=143")) << portrait.out << portrait.err;
    EXPECT_EQ(portrait.Value("Width:"), 320) << portrait.window;
    EXPECT_EQ(portrait.Value("Height:"), 480) << portrait.window;
}

// The window shows the frame's upright picture: a shot's frame stays on screen while its picture is written, here
// into a pipe that no one reads until the screen is grabbed.
TEST(ProgramDisplay, TheWindowShowsTheUprightPictureOfTheFrame) {
    SKIP_WITHOUT("Xvfb xwininfo ffmpeg");
    TempTree tree;
    const std::string pipe = tree.MakeDir("shots") + "/shot_0001.000.png.partial";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const WindowRun run = RunInWindow(
        "800x600", "--fixed-fps 60 --upright --shot 1 --out " + tree.Path() + "/shots",
        "for i in $(seq 600); do grep -q wait_for_partner /proc/$show/wchan && break; sleep 0.1; done; "
        + GrabScreen("800x600", tree.Path() + "/screen.png") + "; timeout 30 cat " + pipe + " >" + tree.Path() +
            "/shot.png");
    EXPECT_TRUE(Contains(run.out, "status=0")) << run.out << run.err;
    const PngImage screen = Picture(tree.Path() + "/screen.png"), shot = Picture(tree.Path() + "/shot.png");
    ASSERT_EQ(shot.width, 480);
    ASSERT_EQ(shot.height, 320);
    ASSERT_TRUE(run.HoldsThePicture(screen)) << run.window;
    size_t differing = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 480; ++x)
            for (int c = 0; c < 3; ++c)
                differing += std::abs(run.PictureLevel(screen, x, y, c) - shot.rgba[(y * 480 + x) * 4 + c]) > 8;
    EXPECT_LT(differing, 480u * 320u * 3u / 100u);
}

// A shell command that waits until the program's standard error holds the text, for as long as only a hung program
// takes: keys pressed while the show loads go nowhere, and a key's effect comes on a later refresh.
std::string WaitForLine(const std::string& text) {
    return "for i in $(seq 1200); do grep -q \"" + text + "\" \"$1/err\" && break; sleep 0.1; done; ";
}

// Paused (Space) half-way, the window draws the player's time line, still three seconds on (a seek's would be gone
// after two): the bar six rows above the picture's bottom is bright to about the middle, and dim beyond. F11 before
// it, on a display without a window manager, leaves the window at 480 x 320 though the screen is larger: the picture
// is drawn for the window it has, not for the screen it asked for.
TEST(ProgramDisplay, APausedWindowShowsThePlayersTimeLineInTheWindowItHas) {
    SKIP_WITHOUT("Xvfb xwininfo xdotool ffmpeg");
    TempTree tree;
    const std::string key = "xdotool search --name kestrel key --window %1 ";
    const WindowRun run = RunInWindow("800x600", "--start 92.5",
                                      WaitForLine("Playing musics.") + key + "F11; " + WaitForLine("fullscreen on") +
                                          key + "space; " + WaitForLine("paused at") + "sleep 3; " +
                                          GrabScreen("800x600", tree.Path() + "/screen.png") + "; kill -TERM $show");
    EXPECT_TRUE(Contains(run.err, "kestrel: drawing for a window of 480 x 320")) << run.err;
    EXPECT_FALSE(Contains(run.err, "kestrel: drawing for a window of 800 x 600")) << run.err;
    EXPECT_TRUE(Contains(run.out, "status=143")) << run.out << run.err;
    const PngImage screen = Picture(tree.Path() + "/screen.png");
    ASSERT_TRUE(run.HoldsThePicture(screen)) << run.window;
    // The darkest channel of a bar pixel: the bar's rows are 312 and 313 of the 480 x 320 picture.
    const auto bar = [&](int x) {
        return std::min({run.PictureLevel(screen, x, 313, 0), run.PictureLevel(screen, x, 313, 1),
                         run.PictureLevel(screen, x, 313, 2)});
    };
    EXPECT_GT(bar(6 + 468 * 40 / 100), 200) << "played: about half of 185 s";
    EXPECT_LT(bar(6 + 468 * 75 / 100), 160) << "still to play";
}
