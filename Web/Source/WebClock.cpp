#include "WebClock.h"

#include <emscripten.h>

#include "DemoSys/FixedRateClock.h"
#include "DemoSys/HeardClock.h"

namespace WebClock {

namespace {
FixedRateClock gClock;
HeardClock gHeard;

double PageSeconds() { return emscripten_get_now() / 1000.0; }
}  // namespace

double Now() { return gClock.Now(emscripten_get_now() / 1000.0); }

void UseFixedRate(double framesPerSecond) { gClock.UseFixedRate(framesPerSecond); }

bool IsFixed() { return gClock.IsFixed(); }

void SetShowShift(double seconds) { gClock.SetShowShift(seconds); }

double ShowNow() {
    const double shown = gClock.ShowNow(PageSeconds());
    return IsFixed() ? shown : gHeard.Read(shown);
}

void HoldShowClock(double delay) {
    if (IsFixed()) return;
    const double now = gClock.ShowNow(PageSeconds());
    gHeard.Hold(now);
    gHeard.HeardFrom(now + delay);
}

void ChangeShowDelay(double change) {
    if (!IsFixed()) gHeard.Change(gClock.ShowNow(PageSeconds()), change);
}

bool ShowClockHeld() { return !IsFixed() && gHeard.Held(Now()); }

void AdvanceFrame() { gClock.AdvanceFrame(); }

}  // namespace WebClock
