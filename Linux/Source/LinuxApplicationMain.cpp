#include "LinuxApplicationMain.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "CapturingSurface.h"
#include "HostOptions.h"
#include "PlatformClock.h"
#include "RecordingSurface.h"
#include "RunLoop.h"

namespace {

constexpr double kRefreshPeriod = 1.0 / 60.0;

double MonotonicSeconds() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Without a display's refresh to wait on, refreshes are spaced as a 60 Hz
// display would space them.
class RefreshPacer {
public:
    void Wait() {
        const double now = MonotonicSeconds();
        if (mNext == 0.0 || now - mNext > kRefreshPeriod) mNext = now;
        mNext += kRefreshPeriod;
        const double wait = mNext - MonotonicSeconds();
        if (wait <= 0.0) return;
        struct timespec ts;
        ts.tv_sec = static_cast<time_t>(wait);
        ts.tv_nsec = static_cast<long>((wait - static_cast<double>(ts.tv_sec)) * 1e9);
        nanosleep(&ts, nullptr);
    }

private:
    double mNext = 0.0;
};

// Demo time of the frame being presented: 0 for the first frame, whose
// refresh also does all the loading, then clock time since that frame ended.
class FrameTimer {
public:
    double Current() const { return mStarted ? mCurrent : 0.0; }
    void BeforeRefresh() {
        if (mStarted) mCurrent = PlatformClock::Now() - mOrigin;
    }
    void AfterRefresh() {
        if (mStarted) return;
        mStarted = true;
        mOrigin = PlatformClock::Now();
    }

private:
    bool mStarted = false;
    double mOrigin = 0.0;
    double mCurrent = 0.0;
};

// The program's own directory, where the music lies beside it.
std::string BundleDirectory() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = '\0';
    std::string directory(path);
    const size_t slash = directory.rfind('/');
    return slash == std::string::npos ? "." : directory.substr(0, slash);
}

std::unique_ptr<DisplaySurface> OpenScreen(bool headless) {
    if (!headless && DisplayAvailable()) {
        if (auto window = CreateWindowSurface()) return window;
        fprintf(stderr, "kestrel: falling back to headless rendering\n");
    }
    // Nobody listens to a headless run; keep it off the sound card unless asked.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return CreateHeadlessSurface();
}

}  // namespace

int LinuxApplicationMain(int argc, char** argv, ApplicationDelegate& delegate) {
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
    if (options.fixedFps > 0.0) PlatformClock::UseFixedRate(options.fixedFps);

    std::unique_ptr<DisplaySurface> screen = OpenScreen(options.headless);
    if (!screen) {
        fprintf(stderr, "kestrel: no OpenGL ES 2.0 context could be created\n");
        exit(1);
    }
    static FrameTimer timer;
    if (!options.recordPath.empty()) {
        auto recording = RecordingSurface::Create(std::move(screen), options.recordPath, BundleDirectory() + "/demomusa.mp3",
                                                  options.fixedFps, [] { return timer.Current(); });
        if (!recording) exit(1);
        screen = std::move(recording);
    }
    if (!options.shotTimes.empty())
        screen = std::make_unique<CapturingSurface>(std::move(screen), options.shotTimes, options.outDir,
                                                    [] { return timer.Current(); });

    delegate.didFinishLaunching(*screen);

    RunLoop& loop = RunLoop::Main();
    RefreshPacer pacer;
    const bool paceByClock = !screen->PacedByDisplay() && !PlatformClock::IsFixed();
    for (;;) {
        const SurfaceEvents events = screen->PollEvents();
        if (events.quit) exit(0);
        if (events.resignedActive) loop.ResignActive();
        if (events.becameActive) loop.BecomeActive();
        // A stopped display link leaves nothing to refresh; keep the clock fair.
        if (paceByClock || !loop.HasLinks()) pacer.Wait();
        timer.BeforeRefresh();
        loop.Refresh();
        timer.AfterRefresh();
        screen->EndRefresh();
        // The fixed clock counts played frames, so a paused show stays put.
        if (loop.HasLinks()) PlatformClock::AdvanceFrame();
    }
}
