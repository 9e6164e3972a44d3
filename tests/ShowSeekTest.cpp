// The whole show loaded in this process (its state is the process's own) and sent about by the player's controls:
// a moment reached by seeking forward, back and on again is the same picture to the byte, and the music stands where
// the picture is.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "DemoSys/GLView.h"
#include "DemoSys/Host.h"
#include "DemoSys/Music.h"
#include "DemoSys/demo.h"
#include "GLTestSupport.h"
#include "Linux/Source/CapturingSurface.h"
#include "Linux/Source/PlatformClock.h"
#include "Linux/Source/PngFile.h"
#include "ShellRun.h"
#include "TempTree.h"

namespace {

constexpr double kFrame = 1.0 / 60.0;

double Seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// The show as the program loads it, its scene files found from the application's directory.
class ShowSeek : public SceneTest {
protected:
    static demo& Show() {
        static demo* show = [] {
            // A device that takes the music at its own pace, heard by nobody.
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            PlatformClock::UseFixedRate(60.0);
            auto* d = new demo();
            testing::internal::CaptureStdout();
            d->demoload(&View());
            testing::internal::GetCapturedStdout();
            return d;
        }();
        return *show;
    }
    // The frame the show plays next, drawn into the screen and read back.
    static std::vector<unsigned char> PlayFrame() {
        View().setFramebuffer();
        testing::internal::CaptureStdout();
        Show().demoplayback(0);
        testing::internal::GetCapturedStdout();
        PlatformClock::AdvanceFrame();
        View().setFramebuffer();
        return ReadScreenRGBA();
    }
    static std::vector<unsigned char> FrameAt(double t) {
        Host::SeekShow(t);
        return PlayFrame();
    }
};

// The program's picture of a whole run (raw screen, rows top first) in GL's rows, bottom first.
std::vector<unsigned char> WholeRunFrame(const std::string& dir, double t) {
    PngImage image;
    std::string error;
    if (!ReadPng(dir + "/" + CapturingSurface::ShotFileName(t), image, error)) ADD_FAILURE() << error;
    std::vector<unsigned char> rows(image.rgba.size());
    const size_t row = static_cast<size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.rgba[static_cast<size_t>(image.height - 1 - y) * row], row, &rows[y * row]);
    return rows;
}

// Every scene with a state of its own, visited forward and back in an order that leaves any unkept state behind for
// the next visit: the robot (69, 155 s), the particle figure (95 s), the saw blade (112, 121 s), the tunnel (160 s),
// the jellyfish's stream (175 s), the crystal room's beat section (45 s). A seek past the particle figure draws its
// kept pixels and nothing after them, so the scene drawn next finds the figure's GL state rather than the state the
// whole run's frame before it left: the crystal room in every beat section (60.5, 106.5 and 150 s) and the robot
// (154.8 s), each reached from before the figure (6 s).
TEST_F(ShowSeek, EveryMomentIsTheWholeRunsPictureHoweverTheShowCameThere) {
    TempTree whole;
    const ProgramRun run = RunShell(std::string(KESTREL_EXE) + " --headless --fixed-fps 60 --shot " +
                                    "6,45,60.5,69,95,106.5,112,121,150,154.8,155,160,175 --out " + whole.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    Show();
    for (double t : {175.0, 69.0, 112.0, 95.0, 121.0, 160.0, 155.0, 6.0, 150.0, 175.0, 45.0, 69.0, 106.5, 6.0, 154.8,
                     60.5, 160.0}) {
        EXPECT_TRUE(FrameAt(t) == WholeRunFrame(whole.Path(), t)) << t << " s";
        EXPECT_EQ(Host::ShowTime(), t);
    }
}

// The music moves with every seek, paused or playing, and a paused show goes on from the frame it shows.
TEST_F(ShowSeek, TheMusicStandsWhereThePictureIsAndPausingHoldsBoth) {
    Show();
    ASSERT_TRUE(gAVPlayer) << "the music of the show";
    FrameAt(20.0);
    Host::PauseShow(true);
    EXPECT_TRUE(Host::ShowPaused());
    // A seek while paused: the new moment's picture, the music there, still.
    FrameAt(120.0);
    EXPECT_EQ(Host::ShowTime(), 120.0);
    EXPECT_NEAR(gAVPlayer->position(), 120.0, 1.0 / 44100.0);
    // A second passes while paused; the show goes on from the frame it showed, and the music plays again.
    for (int i = 0; i < 60; ++i) PlatformClock::AdvanceFrame();
    Host::PauseShow(false);
    PlayFrame();
    EXPECT_NEAR(Host::ShowTime(), 120.0 + kFrame, 1e-9) << "on from the frame shown, a tick later";
    const double resumed = gAVPlayer->position();
    // However loaded the machine, the music moves on within a time only a stopped player takes.
    for (const double start = Seconds(); gAVPlayer->position() == resumed && Seconds() - start < 30.0;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GT(gAVPlayer->position(), resumed) << "the music plays on";
    // A seek back while the music plays replays the show from the start, 6600 ticks, far longer than the frame it
    // goes to; the music starts with that frame, so it has played far less than the whole seek took, however slowly
    // the machine ran it (the ticks and the frame share one thread and one load), and no more than one buffer ahead.
    const double started = Seconds();
    FrameAt(110.0);
    Host::PauseShow(true);
    const double took = Seconds() - started;
    EXPECT_GE(gAVPlayer->position(), 110.0);
    EXPECT_LT(gAVPlayer->position() - 110.0, 0.5 * took + 1024.0 / 44100.0) << "the seek took " << took << " s";
    Host::PauseShow(false);
}

}  // namespace
