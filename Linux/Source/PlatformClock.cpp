#include "PlatformClock.h"

#include <sys/time.h>

namespace PlatformClock {

namespace {
double gRate = 0.0;
long long gFrame = 0;
}  // namespace

double Now() {
    if (gRate > 0.0) return static_cast<double>(gFrame) / gRate;
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-06;
}

void UseFixedRate(double framesPerSecond) {
    gRate = framesPerSecond;
    gFrame = 0;
}

bool IsFixed() { return gRate > 0.0; }

void AdvanceFrame() { ++gFrame; }

}  // namespace PlatformClock
