#include "WebClock.h"

#include <emscripten.h>

namespace WebClock {

namespace {
double gRate = 0.0;
long long gFrame = 0;
}  // namespace

double Now() {
    if (gRate > 0.0) return static_cast<double>(gFrame) / gRate;
    return emscripten_get_now() / 1000.0;
}

void UseFixedRate(double framesPerSecond) {
    gRate = framesPerSecond;
    gFrame = 0;
}

void AdvanceFrame() { ++gFrame; }

}  // namespace WebClock
