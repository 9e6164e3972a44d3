#include "LinuxApplicationMain.h"

#include <SDL2/SDL.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "CapturingSurface.h"
#include "DemoSys/AdaptiveScale.h"
#include "DemoSys/FramePacing.h"
#include "DemoSys/Seeking.h"
#include "DemoSys/ViewerOffset.h"
#include "HostOptions.h"
#include "PlatformClock.h"
#include "RecordingSurface.h"
#include "RunLoop.h"

namespace {

// Without a display's refresh to wait on (headless, or a window whose
// presents do not wait), the host sleeps until the next frame is due, as on a
// display refreshing four times a tick: a sleep may overrun by half of that
// before its frame counts as late.
constexpr double kFreeRunningPeriod = FramePacer::kTick / 4.0;

// Seconds between the refreshes the pacing rule is told of: a fixed clock's
// step, the display's period, or the free-running one.
double RefreshPeriod(const DisplaySurface& screen) {
    if (PlatformClock::IsFixed()) return 1.0 / PlatformClock::Rate();
    return screen.RefreshPeriod() > 0.0 ? screen.RefreshPeriod() : kFreeRunningPeriod;
}

void Sleep(double seconds) {
    if (seconds <= 0.0) return;
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    nanosleep(&ts, nullptr);
}

volatile sig_atomic_t gStopSignal = 0;
// The first refresh loads everything, for seconds, and has written nothing yet.
volatile sig_atomic_t gLoading = 0;
bool gOutputFailed = false;

void OnStopSignal(int signal) {
    gStopSignal = signal;
    // Waiting for the load to finish would keep the viewer waiting for
    // nothing; only what is async-signal-safe may run from here.
    if (!gLoading) return;
    RecordingSurface::AbandonFromSignal();
    _exit(128 + signal);
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // A second signal while the show shuts down ends the process at once.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // SDL would turn the signals into a quit event, which ends with status 0.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

// Registered before any output's own exit handler, so it runs after them all.
void EndWithOutputStatus() {
    if (!gOutputFailed) return;
    fflush(nullptr);
    _exit(1);
}

std::unique_ptr<DisplaySurface> OpenScreen(const HostOptions& options) {
    // Real-time sound makes no sense on a fixed clock; keep it off the sound card.
    if (PlatformClock::IsFixed()) setenv("SDL_AUDIODRIVER", "dummy", 0);
    // A window that follows its size replaces this scale with its own.
    Host::SetRenderScale(options.renderScale > 0.0f ? options.renderScale : 1.0f);
    if (!options.headless && DisplayAvailable()) {
        if (auto window = CreateWindowSurface({options.portrait, options.fullscreen, options.renderScale})) {
            fputs(options.gentle ? "kestrel: the gentle mode is on: the show flashes at most three times a second (G turns it off)\n"
                                 : "kestrel: warning: the show flashes in time with its music, in places more than three times a "
                                   "second; for a viewer sensitive to flashing lights, press G or start with --gentle\n",
                  stderr);
            return window;
        }
    } else if (!options.headless && options.shotTimes.empty()) {
        fputs("kestrel: no display (DISPLAY and WAYLAND_DISPLAY are unset or empty): the show plays headless, "
              "with nothing to watch; run it in a desktop session for a window, or write a video with --record "
              "FILE.mp4\n",
              stderr);
    }
    return CreateHeadlessSurface();
}

[[noreturn]] void Fail(const std::string& message) {
    fprintf(stderr, "kestrel: %s\n", message.c_str());
    exit(1);
}

}  // namespace

HostOptions ReadHostOptions(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(argc, argv, options, error)) {
        fprintf(stderr, "kestrel: %s\n%s", error.c_str(), HostUsage());
        exit(2);
    }
    if (options.help) {
        fputs(HostUsage(), stdout);
        exit(0);
    }
    return options;
}

std::string RunningProgramPath(const char* argv0) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0) return std::string(path, static_cast<size_t>(n));
    // A bare name is left to the search of PATH.
    char* resolved = strchr(argv0, '/') ? realpath(argv0, nullptr) : nullptr;
    if (!resolved) return argv0;
    std::string result(resolved);
    free(resolved);
    return result;
}

void NoteOutputFailure() { gOutputFailed = true; }

bool ShowCutShort() { return gStopSignal != 0 || gOutputFailed; }

int LinuxApplicationMain(const HostOptions& options, const std::string& bundlePath, ApplicationDelegate& delegate) {
    CatchStopSignals();
    atexit(EndWithOutputStatus);
    if (options.fixedFps > 0.0) PlatformClock::UseFixedRate(options.fixedFps);
    if (options.refreshRate > 0.0) PlatformClock::UseFixedRate(options.refreshRate);
    ViewerOffset::Set(options.avOffset);
    Host::SetGentle(options.gentle);
    PlatformClock::SetViewerOffset(ViewerOffset::Seconds());
    std::string error;
    if (!options.shotTimes.empty() && !CapturingSurface::PrepareOutDir(options.outDir, error))
        Fail("cannot write pictures to " + options.outDir + ": " + error);

    std::unique_ptr<DisplaySurface> screen = OpenScreen(options);
    if (!screen) Fail("no OpenGL ES 2.0 context could be created");
    if (!options.recordPath.empty()) {
        const RecordingSurface::Frame frame{!options.portrait, options.renderScale > 0.0f ? options.renderScale : 1.0f};
        auto recording = RecordingSurface::Create(screen, options.recordPath, bundlePath + "/demomusa.mp3",
                                                  options.fixedFps, options.startTime, frame, Host::ShowTime);
        if (!recording) exit(1);
        screen = std::move(recording);
    }
    if (!options.shotTimes.empty())
        screen = std::make_unique<CapturingSurface>(std::move(screen), options.shotTimes, options.outDir,
                                                    options.uprightShots, Host::ShowTime);
    SetFrameJudge(screen.get());

    delegate.didFinishLaunching(*screen);

    RunLoop& loop = RunLoop::Main();
    const bool fixed = PlatformClock::IsFixed();
    // --fixed-fps plays a frame at every step of its clock; every other run
    // keeps the show's own pace, whatever the display's refresh rate.
    const bool paced = !fixed || options.refreshRate > 0.0;
    FramePacer pacer;
    // Where the scale follows the window, it follows the machine's speed
    // too; a fixed clock, pictures and a scale of the viewer's choosing
    // stay as they are.
    const bool adapting = !fixed && options.shotTimes.empty() && options.renderScale == 0.0f;
    AdaptiveScale adaptive;
    // On the wall clock the first frame goes to the start; on the fixed
    // clock the refreshes before it pass unplayed, as a whole run's would.
    bool starting = options.startTime > 0.0;
    if (starting && !fixed) Host::SeekShow(options.startTime);
    Seeking::PlayerControls controls;
    gLoading = 1;
    for (;;) {
        // Ending here, between refreshes, leaves every output whole.
        if (gStopSignal) exit(128 + gStopSignal);
        const SurfaceEvents events = screen->PollEvents();
        if (events.quit) exit(0);
        if (events.resignedActive) loop.ResignActive();
        if (events.becameActive) loop.BecomeActive();
        // Keys pressed while the show loads go nowhere.
        const SurfaceEvents keys = gLoading ? SurfaceEvents() : events;
        const bool mayPlay = controls.Follow(keys, PlatformClock::Monotonic());
        if (keys.togglePause)
            fprintf(stderr, "kestrel: %s at %.1f s\n", Host::ShowPaused() ? "paused" : "playing", Host::ShowTime());
        if (keys.toggleGentle)
            fprintf(stderr, "kestrel: the gentle mode %s at %.1f s\n", Host::Gentle() ? "on" : "off", Host::ShowTime());
        if (ViewerOffset::Follow(keys, PlatformClock::Monotonic())) PlatformClock::SetViewerOffset(ViewerOffset::Seconds());
        screen->ShowTimeLine(controls.TimeLineShown(PlatformClock::Monotonic()) || ViewerOffset::LabelShown());
        if (!mayPlay) {
            screen->PresentAgain();
            Sleep(FramePacer::kTick);
            continue;
        }
        // A stopped display link leaves nothing to refresh, and the fixed
        // clock stays put while the show is paused.
        if (!loop.HasLinks()) {
            Sleep(FramePacer::kTick);
            continue;
        }
        // The picture stays until the music's first sample is heard; the
        // frames then go on from that moment, their ticks laid anew.
        if (!controls.FrameOwed() && PlatformClock::ShowClockHeld()) {
            pacer = FramePacer();
            Sleep(kFreeRunningPeriod);
            continue;
        }
        const double period = RefreshPeriod(*screen);
        const double now = PlatformClock::Now();
        if (paced && !controls.FrameOwed() && !pacer.Due(now, period)) {
            // Nothing new on this refresh: the picture presented last stays.
            if (fixed) PlatformClock::AdvanceFrame();
            else Sleep(std::min(pacer.NextDue(period) - now, FramePacer::kTick));
            continue;
        }
        // The loading frame reads the clock once it has loaded: it stands for
        // its refresh, which is its tick, so the shift is 0.
        PlatformClock::SetShowShift(paced ? pacer.FrameTime() - now : 0.0);
        if (starting && fixed) {
            // A whole run's first frame is at its clock's 0: a refresh's show
            // time is its clock reading.
            if (PlatformClock::ShowNow() < options.startTime) {
                PlatformClock::AdvanceFrame();
                continue;
            }
            Host::SeekShow(PlatformClock::ShowNow());
        }
        starting = false;
        controls.FramePlayed();
        const double started = PlatformClock::Monotonic();
        loop.Refresh();
        gLoading = 0;
        screen->EndRefresh();
        char line[128];
        if (adapting && adaptive.Judge(PlatformClock::Monotonic() - started - screen->PresentWait(), line, sizeof line))
            fprintf(stderr, "kestrel: %s\n", line);
        // The fixed clock counts the refreshes of a playing show.
        if (loop.HasLinks()) PlatformClock::AdvanceFrame();
    }
}
