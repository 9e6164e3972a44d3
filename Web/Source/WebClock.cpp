#include "WebClock.h"

#include <emscripten.h>

#include "DemoSys/FixedRateClock.h"

namespace WebClock {

namespace {
FixedRateClock gClock;
}  // namespace

double Now() { return gClock.Now(emscripten_get_now() / 1000.0); }

void UseFixedRate(double framesPerSecond) { gClock.UseFixedRate(framesPerSecond); }

bool IsFixed() { return gClock.IsFixed(); }

void SetShowShift(double seconds) { gClock.SetShowShift(seconds); }

double ShowNow() { return gClock.ShowNow(emscripten_get_now() / 1000.0); }

void AdvanceFrame() { gClock.AdvanceFrame(); }

}  // namespace WebClock
