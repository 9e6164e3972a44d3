#include "PlatformClock.h"

#include <sys/time.h>

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

void UseFixedRate(double framesPerSecond) { gClock.UseFixedRate(framesPerSecond); }

bool IsFixed() { return gClock.IsFixed(); }

void AdvanceFrame() { gClock.AdvanceFrame(); }

}  // namespace PlatformClock
