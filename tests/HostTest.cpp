#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "DemoSys/Host.h"
#include "Linux/Source/HostOptions.h"
#include "Linux/Source/PngFile.h"
#include "Linux/Source/PlatformClock.h"
#include "Linux/Source/RasteriserThreads.h"
#include "Linux/Source/RecordingSurface.h"
#include "Linux/Source/RunLoop.h"
#include "Linux/Source/WindowEvents.h"
#include "Linux/Source/WindowPlacement.h"
#include "SystemFaults.h"
#include "TempTree.h"

namespace {

bool Parse(std::vector<const char*> args, HostOptions& options, std::string& error) {
    args.insert(args.begin(), "kestrel");
    return ParseHostOptions(static_cast<int>(args.size()), args.data(), options, error);
}

// Every field, so that a row compares them all at once; a negative zero prints as "-0" and so shows.
std::string Fields(const HostOptions& o) {
    std::ostringstream s;
    s << "headless " << o.headless << ", fixed-fps " << o.fixedFps << ", refresh-rate " << o.refreshRate << ", start "
      << o.startTime << ", shots";
    for (double t : o.shotTimes) s << ' ' << t;
    s << ", out '" << o.outDir << "', record '" << o.recordPath << "', portrait " << o.portrait << ", fullscreen "
      << o.fullscreen << ", scale " << o.renderScale << ", upright " << o.uprightShots << ", help " << o.help
      << ", av-offset " << o.avOffset << ", gentle " << o.gentle;
    return s.str();
}

std::string Joined(const std::vector<const char*>& args) {
    std::string line;
    for (const char* a : args) line += std::string(line.empty() ? "" : " ") + a;
    return line;
}

}  // namespace

// Each command line and the options it gives, the rest at their defaults.
TEST(HostOptions, AcceptedCommandLinesGiveTheirOptions) {
    const struct {
        std::vector<const char*> args;
        void (*expect)(HostOptions&);
    } cases[] = {
        {{}, [](HostOptions&) {}},  // the window's scale, the wall clock
        {{"--headless", "--fixed-fps", "60", "--shot", "3,0.5,1", "--out", "/tmp"},  // shots in playing order
         [](HostOptions& o) { o.headless = true, o.fixedFps = 60, o.shotTimes = {0.5, 1, 3}, o.outDir = "/tmp"; }},
        {{"--start", "69.5", "--shot", "70", "--out", "/tmp"},
         [](HostOptions& o) { o.startTime = 69.5, o.shotTimes = {70}, o.outDir = "/tmp"; }},
        {{"--start=-0"}, [](HostOptions&) {}},
        // Values after an equals sign may begin with a dash; "-0" is 0; recording plays headless, fixed clock.
        {{"--record=-take.mkv", "--shot=2", "--shot", "1,-0", "--out=--shots"},
         [](HostOptions& o) {
             o.recordPath = "-take.mkv", o.outDir = "--shots", o.shotTimes = {0, 1, 2};
             o.headless = true, o.fixedFps = 60;
         }},
        {{"--headless", "--refresh-rate=144"}, [](HostOptions& o) { o.headless = true, o.refreshRate = 144; }},
        {{"--scale", "3", "--portrait", "--fullscreen"},
         [](HostOptions& o) { o.renderScale = 3, o.portrait = true, o.fullscreen = true; }},
        {{"--scale=8", "--upright", "--shot", "1", "--out", "/tmp"},
         [](HostOptions& o) { o.renderScale = 8, o.uprightShots = true, o.shotTimes = {1}, o.outDir = "/tmp"; }},
        {{"--scale", "1.75"}, [](HostOptions& o) { o.renderScale = 1.75f; }},
        // A video's own rate may be given.
        {{"--record", "v.mp4", "--fixed-fps", "60"},
         [](HostOptions& o) { o.recordPath = "v.mp4", o.headless = true, o.fixedFps = 60; }},
        // The help wins over anything else given, even a usage error.
        {{"--no-such-option", "--help"}, [](HostOptions& o) { o.help = true; }},
        {{"--fixed-fps", "0", "-h"}, [](HostOptions& o) { o.help = true; }},
        {{"--av-offset", "-40"}, [](HostOptions& o) { o.avOffset = -0.04; }},
        {{"--av-offset=1000", "--record", "v.mp4"},
         [](HostOptions& o) { o.avOffset = 1, o.recordPath = "v.mp4", o.headless = true, o.fixedFps = 60; }},
        {{"--gentle", "--record", "v.mp4"},
         [](HostOptions& o) { o.gentle = true, o.recordPath = "v.mp4", o.headless = true, o.fixedFps = 60; }},
    };
    for (const auto& c : cases) {
        HostOptions parsed, expected;
        c.expect(expected);
        std::string error;
        ASSERT_TRUE(Parse(c.args, parsed, error)) << Joined(c.args) << ": " << error;
        EXPECT_EQ(Fields(parsed), Fields(expected)) << Joined(c.args);
    }
}

// Each refused command line and what its error names (where a row gives it).
TEST(HostOptions, RefusedCommandLinesSayWhy) {
    const struct {
        std::vector<const char*> args;
        const char* message;
    } cases[] = {
        {{"--fast"}, ""}, {{"--fixed-fps"}, ""}, {{"--fixed-fps", "0"}, ""}, {{"--fixed-fps", "-3"}, ""},
        {{"--fixed-fps", "x"}, ""}, {{"--fixed-fps", "60fps"}, ""}, {{"--fixed-fps", "nan"}, ""},
        {{"--shot", "1,,2", "--out", "/tmp"}, ""}, {{"--shot", "1"}, ""}, {{"--out", "/tmp"}, ""},
        {{"--shot", "-1", "--out", "/tmp"}, ""},
        {{"--start", "185"}, "--start needs a time from 0 up to the show's end (185 s), not '185'"},
        {{"--start=-1"}, "not '-1'"}, {{"--start", "soon"}, "not 'soon'"},
        {{"--start", "100", "--shot", "99.9,101", "--out", "/tmp"}, "--shot time 99.9 is before --start 100"},
        {{"--refresh-rate", "0"}, ""}, {{"--refresh-rate", "-60"}, ""}, {{"--refresh-rate", "x"}, ""},
        {{"--refresh-rate", "10001"}, ""}, {{"--refresh-rate", "144", "--fixed-fps", "60"}, ""},
        {{"--refresh-rate", "60", "--record", "x.mp4"}, ""}, {{"--scale", "0"}, ""}, {{"--scale", "9"}, ""},
        {{"--scale", "1.3"}, ""}, {{"--scale", "x"}, ""}, {{"--scale"}, ""}, {{"--scale", "2", "--scale", "2"}, ""},
        {{"--upright"}, ""}, {{"--portrait=yes"}, ""}, {{"--gentle=1"}, ""}, {{"--fullscreen", "--headless"}, ""},
        {{"--fullscreen", "--record", "v.mp4"}, ""},
        {{"--fixed-fps", "100000"}, "at most 10000"}, {{"--record", "x.mp4", "--fixed-fps", "30"}, "--fixed-fps"},
        {{"--out", "--headless", "--shot", "1"}, "not the option '--headless'"},
        {{"--record", "-show.mp4"}, "not the option '-show.mp4'"}, {{"--record", "show.avi"}, "'show.avi'"},
        {{"--out", "a", "--out", "b", "--shot", "1"}, "--out is given more than once"},
        {{"--fixed-fps", "60", "--fixed-fps", "30"}, "--fixed-fps is given more than once"},
        {{"--record", "a.mp4", "--record=b.mp4"}, "--record is given more than once"},
        {{"--shot", "1,190", "--out", "o"}, "time 190 "},  // every shot time is checked, not only the first
        {{"--av-offset", "1000.5"}, "--av-offset needs milliseconds from -1000 to 1000, not '1000.5'"},
        {{"--av-offset", "soon"}, ""}, {{"--av-offset"}, ""},
    };
    for (const auto& c : cases) {
        HostOptions refused;
        std::string error;
        EXPECT_FALSE(Parse(c.args, refused, error)) << Joined(c.args);
        EXPECT_FALSE(error.empty()) << Joined(c.args);
        EXPECT_NE(error.find(c.message), std::string::npos) << Joined(c.args) << ": " << error;
    }
}

// On a fixed clock of N frames a second frame k plays at k/N; the first frame at or after 185 s is never
// shown. A display of N Hz plays on the refreshes nearest each 1/60 s tick: at 144 Hz the last tick before
// the end, 184.98333 s, plays on refresh 26638 (184.98611 s); at 30 Hz every refresh, the last at 184.96667.
TEST(HostOptions, ShotTimesAreCheckedAgainstTheLastShownFrame) {
    const struct {
        const char* clock;  // the option that sets it, none for the wall clock
        const char* rate;
        const char* time;
        bool reached;
    } cases[] = {{"--fixed-fps", "1", "184", true},        {"--fixed-fps", "1", "184.5", false},
                 {"--fixed-fps", "60", "184.98", true},    {"--fixed-fps", "60", "184.99", false},
                 {"--fixed-fps", "7", "184.8", true},      {"--fixed-fps", "7", "184.9", false},
                 {nullptr, nullptr, "184.999", true},      {nullptr, nullptr, "185", false},
                 {"--refresh-rate", "144", "184.986", true}, {"--refresh-rate", "144", "184.987", false},
                 {"--refresh-rate", "30", "184.96", true}, {"--refresh-rate", "30", "184.97", false}};
    for (const auto& c : cases) {
        std::vector<const char*> args = {"--shot", c.time, "--out", "/tmp"};
        if (c.clock) args.insert(args.end(), {c.clock, c.rate});
        HostOptions o;
        std::string error;
        EXPECT_EQ(Parse(args, o, error), c.reached) << Joined(args);
    }
}

// One rasteriser worker more than the cores, and a count the user set stands.
TEST(RasteriserThreads, OneWorkerMoreThanTheCoresUnlessTheUserChose) {
    for (const auto& [cores, workers] : {std::pair{1, 2}, {2, 3}, {16, 17}, {0, 1}, {-1, 1}})  // 0, -1: sysconf failed
        EXPECT_EQ(RasteriserThreadsFor(cores), workers) << cores;
    {
        const SystemFaults::ScopedEnv chosen("LP_NUM_THREADS", "0");
        SpareRasteriserThread();
        EXPECT_STREQ(getenv("LP_NUM_THREADS"), "0");
    }
    const SystemFaults::ScopedEnv unset("LP_NUM_THREADS", nullptr);
    SpareRasteriserThread();
    ASSERT_NE(getenv("LP_NUM_THREADS"), nullptr);
    EXPECT_EQ(atol(getenv("LP_NUM_THREADS")), sysconf(_SC_NPROCESSORS_ONLN) + 1);
}

// Frames counted from each start; the show reads the clock shifted to the tick its frame stands for: on a
// 144 Hz display refresh 5 (34.72 ms) plays the frame of tick 2 (33.33 ms).
TEST(PlatformClock, FixedRateCountsFramesFromEachStartAndTheShowReadsItShiftedToItsFramesTick) {
    PlatformClock::UseFixedRate(50.0);
    for (int i = 0; i < 25; ++i) PlatformClock::AdvanceFrame();
    EXPECT_DOUBLE_EQ(PlatformClock::Now(), 0.5);
    PlatformClock::UseFixedRate(144.0);
    EXPECT_EQ(PlatformClock::Now(), 0.0);
    EXPECT_DOUBLE_EQ(PlatformClock::Rate(), 144.0);
    for (int i = 0; i < 5; ++i) PlatformClock::AdvanceFrame();
    PlatformClock::SetShowShift(2.0 / 60.0 - 5.0 / 144.0);
    EXPECT_DOUBLE_EQ(PlatformClock::ShowNow(), 2.0 / 60.0);
    EXPECT_DOUBLE_EQ(PlatformClock::Now(), 5.0 / 144.0);
    PlatformClock::SetShowShift(0.0);
    EXPECT_DOUBLE_EQ(PlatformClock::ShowNow(), 5.0 / 144.0);
    PlatformClock::UseFixedRate(0.0);
    EXPECT_FALSE(PlatformClock::IsFixed());
    // The wall clock's seconds since 1970, late in a second, where a wrong share of its microseconds shows most.
    const auto wall = [] {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    };
    while (std::fmod(wall(), 1.0) < 0.7) usleep(10000);
    EXPECT_NEAR(PlatformClock::Now(), wall(), 0.1);
}

TEST(RunLoop, DisplayLinkFiresEveryRefreshAndStopsWhenInvalidated) {
    int fired = 0, other = 0;
    DisplayLink link([&] { ++fired; }), second([&] { ++other; });
    link.addToRunLoop();
    second.addToRunLoop();
    RunLoop::Main().Refresh();
    RunLoop::Main().Refresh();
    EXPECT_EQ(fired + other, 4) << "every link fires on every refresh";
    second.invalidate();
    link.invalidate();
    RunLoop::Main().Refresh();
    EXPECT_EQ(fired + other, 4);
    EXPECT_FALSE(RunLoop::Main().HasLinks());
    std::unique_ptr<DisplayLink> once;  // a link may invalidate itself while firing
    once = std::make_unique<DisplayLink>([&] { ++fired, once->invalidate(); });
    once->addToRunLoop();
    RunLoop::Main().Refresh();
    RunLoop::Main().Refresh();
    EXPECT_EQ(fired + other, 5);
}

// The video is the upright picture at the scale, arriving top down (no flip); names reach ffmpeg as files.
TEST(RecordingSurface, TheContainerFollowsTheExtensionAndTheEncoderGetsThePictureAndTheNames) {
    EXPECT_STREQ(RecordingSurface::ContainerFor("out/show.mp4"), "mp4");
    EXPECT_STREQ(RecordingSurface::ContainerFor("show.mkv"), "matroska");
    EXPECT_STREQ(RecordingSurface::ContainerFor("a.b/show.mov"), "mov");
    for (const char* name : {"show", "show.png", "-", ".mp4", "dir/.mkv", "show.mp4/", "show.mp4.txt"})
        EXPECT_EQ(RecordingSurface::ContainerFor(name), nullptr) << name;

    const std::vector<std::string> args =
        RecordingSurface::EncoderArguments("-take.mp4.partial", "mp4", "/b/demomusa.mp3", 60.0, {true, 4});
    ASSERT_GE(args.size(), 4u);
    EXPECT_NE(std::find(args.begin(), args.end(), "1920x1280"), args.end());
    EXPECT_EQ(std::find(args.begin(), args.end(), "vflip"), args.end());
    EXPECT_EQ(std::vector<std::string>(args.end() - 2, args.end()),
              (std::vector<std::string>{"mp4", "file:-take.mp4.partial"}));
    EXPECT_NE(std::find(args.begin(), args.end(), "file:/b/demomusa.mp3"), args.end());
    EXPECT_EQ(std::find(args.begin(), args.end(), "-ss"), args.end()) << "the music from its start";
    // From --start the music is read from there, an option of its input.
    const std::vector<std::string> late =
        RecordingSurface::EncoderArguments("v.mp4.partial", "mp4", "/b/demomusa.mp3", 60.0, {false, 2}, 100.0);
    EXPECT_NE(std::find(late.begin(), late.end(), "640x960"), late.end());
    const auto input = std::find(late.begin(), late.end(), "file:/b/demomusa.mp3");
    ASSERT_GE(input - late.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(input - 3, input + 1),
              (std::vector<std::string>{"-ss", "100.000000", "-i", "file:/b/demomusa.mp3"}));
}

// A signal that interrupts a write to a full socket loses no part of the frame: the write goes on.
TEST(RecordingSurface, AWriteInterruptedByASignalGoesOn) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    struct sigaction action {}, previous {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);  // without SA_RESTART a blocked write answers EINTR
    sigaction(SIGUSR1, &action, &previous);
    size_t queued = 0;  // the socket filled, so that the next write blocks before it sends anything
    const std::vector<unsigned char> block(4096, 7), frame(100000, 9);
    for (ssize_t n; (n = send(ends[0], block.data(), block.size(), MSG_DONTWAIT)) > 0;) queued += static_cast<size_t>(n);
    const pthread_t writer = pthread_self();
    size_t received = 0;
    std::thread reader([&] {
        usleep(200000);
        pthread_kill(writer, SIGUSR1);
        usleep(100000);
        unsigned char buffer[65536];
        for (ssize_t n; (n = read(ends[1], buffer, sizeof buffer)) > 0;) received += static_cast<size_t>(n);
    });
    EXPECT_TRUE(RecordingSurface::SendAll(ends[0], frame.data(), frame.size()));
    shutdown(ends[0], SHUT_WR);
    reader.join();
    EXPECT_EQ(received, queued + frame.size());
    sigaction(SIGUSR1, &previous, nullptr);
    close(ends[0]);
    close(ends[1]);
}

// Escape quits; F11 or Alt+Enter, pressed not held, switch fullscreen; Space pauses unless a modifier makes it
// the window manager's; the arrows seek, again and again while held; Home goes to the start.
TEST(WindowEvents, EachKeyAndItsAction) {
    using Key = WindowKey;
    const struct {
        SDL_Keycode code;
        Uint16 modifiers;
        bool held;
        WindowKey action;
    } cases[] = {{SDLK_ESCAPE, KMOD_NONE, false, Key::kQuit},          {SDLK_ESCAPE, KMOD_NONE, true, Key::kQuit},
                 {SDLK_F11, KMOD_NONE, false, Key::kToggleFullscreen}, {SDLK_F11, KMOD_NONE, true, Key::kNone},
                 {SDLK_RETURN, KMOD_LALT, false, Key::kToggleFullscreen},
                 {SDLK_KP_ENTER, KMOD_RALT, false, Key::kToggleFullscreen},
                 {SDLK_RETURN, KMOD_LALT, true, Key::kNone},           {SDLK_RETURN, KMOD_LCTRL, false, Key::kNone},
                 {SDLK_SPACE, KMOD_NONE, false, Key::kPause},          {SDLK_SPACE, KMOD_NONE, true, Key::kNone},
                 {SDLK_SPACE, KMOD_LALT, false, Key::kNone},           {SDLK_LEFT, KMOD_NONE, true, Key::kBack},
                 {SDLK_RIGHT, KMOD_NONE, true, Key::kForward},         {SDLK_HOME, KMOD_NONE, false, Key::kStart},
                 {SDLK_MINUS, KMOD_NONE, true, Key::kPictureEarlier},  {SDLK_KP_MINUS, KMOD_NONE, false, Key::kPictureEarlier},
                 {SDLK_EQUALS, KMOD_LSHIFT, true, Key::kPictureLater}, {SDLK_KP_PLUS, KMOD_NONE, false, Key::kPictureLater}};
    for (const auto& c : cases)
        EXPECT_EQ(ActionForKey(c.code, c.modifiers, c.held), c.action) << SDL_GetKeyName(c.code) << " held " << c.held;
    SurfaceEvents lost, gained, resized;
    NoteFocus(SDL_WINDOWEVENT_FOCUS_LOST, lost);
    NoteFocus(SDL_WINDOWEVENT_FOCUS_GAINED, gained);
    NoteFocus(SDL_WINDOWEVENT_SIZE_CHANGED, resized);
    EXPECT_TRUE(lost.resignedActive && !lost.becameActive);
    EXPECT_TRUE(gained.becameActive && !gained.resignedActive);
    EXPECT_FALSE(resized.becameActive || resized.resignedActive || resized.quit);
}

// An 800 x 600 screen is shorter than twice the portrait screen: the window takes its full height.
TEST(WindowPlacement, TheWindowFitsTheUsableAreaCentredAndAtMostTwiceTheSize) {
    const struct {
        ScreenRect usable;
        ScreenRect expected;
    } cases[] = {{{0, 0, 800, 600}, {200, 0, 400, 600}},
                 {{0, 0, 1920, 1080}, {640, 60, 640, 960}},
                 {{1920, 24, 1280, 1000}, {2240, 44, 640, 960}},
                 {{0, 0, 300, 2000}, {0, 775, 300, 450}}};
    for (const auto& c : cases) {
        const ScreenRect w = PlaceWindow(c.usable, 320, 480, 2.0);
        EXPECT_EQ(std::vector<int>({w.x, w.y, w.width, w.height}),
                  (std::vector<int>{c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
            << c.usable.width << " x " << c.usable.height;
    }
    // A window frame of 30 above and 5 elsewhere leaves 790 x 565 at (5, 30): 376 wide (320 * 565 / 480, down).
    const ScreenRect framed = PlaceWindow(Inset({0, 0, 800, 600}, 30, 5, 5, 5), 320, 480, 2.0);
    EXPECT_EQ(std::vector<int>({framed.x, framed.y, framed.width, framed.height}),
              (std::vector<int>{5 + 207, 30, 376, 565}));
    const ScreenRect none = Inset({10, 20, 100, 50}, 40, 60, 40, 60);  // a frame wider than the area: a pixel each way
    EXPECT_EQ(std::vector<int>({none.x, none.y, none.width, none.height}), (std::vector<int>{70, 60, 1, 1}));
}

// Three rows of five pixels, every byte different; a row too many would overrun the rows pointer table.
TEST(PngFile, APictureComesBackPixelForPixelAndAFailedReadLeavesAnEmptyImage) {
    TempTree dir;
    constexpr int kWidth = 5, kHeight = 3;
    std::vector<uint8_t> rgba(kWidth * kHeight * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string path = dir.Path() + "/p.png";
    std::string error;
    ASSERT_TRUE(WritePng(path, kWidth, kHeight, rgba.data(), error)) << error;
    EXPECT_FALSE(std::ifstream(path + ".partial").good());
    PngImage image;
    ASSERT_TRUE(ReadPng(path, image, error)) << error;
    EXPECT_EQ(std::make_tuple(image.width, image.height, image.rgba), std::make_tuple(kWidth, kHeight, rgba));
    Host::Picture picture;
    ASSERT_TRUE(Host::DecodePicture(path, picture, error)) << error;
    EXPECT_EQ(std::make_tuple(picture.width, picture.height, picture.rgba), std::make_tuple(kWidth, kHeight, rgba));

    // Cut inside the pixel data: the size is known, the pixels are not.
    std::stringstream whole;
    whole << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string cut = dir.Write("cut.png", whole.str().substr(0, whole.str().size() - 20));
    PngImage broken;
    EXPECT_FALSE(ReadPng(cut, broken, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::make_tuple(broken.width, broken.height, broken.rgba.size()), std::make_tuple(0, 0, size_t{0}));
    EXPECT_FALSE(Host::DecodePicture(cut, picture, error));
    EXPECT_FALSE(WritePng(dir.Path() + "/none/p.png", kWidth, kHeight, rgba.data(), error));
    EXPECT_FALSE(ReadPng(dir.Path() + "/none.png", image, error));
    EXPECT_NE(error.find(dir.Path() + "/none.png"), std::string::npos) << error;

    // Sides up to 16384 pixels are read; a longer one is refused before any pixel memory is taken.
    const std::vector<uint8_t> line(16385 * 4, 200);
    for (const auto& [width, height] : {std::pair{16384, 1}, {1, 16384}, {16385, 1}, {1, 16385}}) {
        ASSERT_TRUE(WritePng(path, width, height, line.data(), error)) << error;
        EXPECT_EQ(ReadPng(path, image, error), width < 16385 && height < 16385) << width << " x " << height;
    }
}
