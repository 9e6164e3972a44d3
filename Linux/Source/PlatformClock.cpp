#include "PlatformClock.h"

#include <sys/time.h>
#include <time.h>

#include "DemoSys/FixedRateClock.h"

namespace PlatformClock {

namespace {
FixedRateClock gClock;

double WallSeconds() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-06;
}
}  // namespace

double Now() { return gClock.Now(WallSeconds()); }

void SetShowShift(double seconds) { gClock.SetShowShift(seconds); }

double ShowNow() { return gClock.ShowNow(WallSeconds()); }

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
