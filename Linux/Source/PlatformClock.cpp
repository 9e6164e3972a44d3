#include "PlatformClock.h"

#include <sys/time.h>
#include <time.h>

#include <atomic>
#include <cmath>

#include "DemoSys/FixedRateClock.h"
#include "DemoSys/HeardClock.h"

namespace PlatformClock {

namespace {
FixedRateClock gClock;
HeardClock gHeard;
double gOutputLatency = 0.0;
double gViewerOffset = 0.0;
// Written by the audio thread, taken by the show's.
std::atomic<double> gHandedOverAt{NAN};
// A device that takes no samples at all must not stop the show: after this
// long the music counts as handed over when it started.
constexpr double kHandOverPatience = 0.5;
bool gAwaitingHandOver = false;
double gHeldAt = 0.0;

double WallSeconds() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-06;
}
}  // namespace

double Now() { return gClock.Now(WallSeconds()); }

void SetShowShift(double seconds) { gClock.SetShowShift(seconds); }

namespace {
// The audio thread's news reaches the show's clock on the show's thread.
void TakeHandOver() {
    if (!gAwaitingHandOver) return;
    double at = gHandedOverAt.exchange(NAN);
    if (std::isnan(at) && WallSeconds() > gHeldAt + kHandOverPatience) at = gHeldAt;
    if (std::isnan(at)) return;
    gAwaitingHandOver = false;
    gHeard.HeardFrom(at + gOutputLatency + gViewerOffset);
}
}  // namespace

double ShowNow() {
    const double shown = gClock.ShowNow(WallSeconds());
    if (IsFixed()) return shown;
    TakeHandOver();
    return gHeard.Read(shown);
}

void SetOutputLatency(double seconds) { gOutputLatency = seconds; }

void SetViewerOffset(double seconds) {
    if (!IsFixed()) gHeard.Change(gClock.ShowNow(WallSeconds()), seconds - gViewerOffset);
    gViewerOffset = seconds;
}

void HoldShowClock() {
    if (IsFixed()) return;
    gHandedOverAt.store(NAN);
    gHeldAt = WallSeconds();
    gAwaitingHandOver = true;
    gHeard.Hold(gClock.ShowNow(gHeldAt));
}

void MusicHandedOver(double at) { gHandedOverAt.store(at); }

bool ShowClockHeld() {
    if (IsFixed()) return false;
    TakeHandOver();
    return gHeard.Held(Now());
}

void UseFixedRate(double framesPerSecond) { gClock.UseFixedRate(framesPerSecond); }

bool IsFixed() { return gClock.IsFixed(); }

double Rate() { return gClock.Rate(); }

void AdvanceFrame() { gClock.AdvanceFrame(); }

double Monotonic() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace PlatformClock
