#include "WebClock.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "DemoSys/FixedRateClock.h"
#include "DemoSys/HeardClock.h"

namespace WebClock {

// The page's clock reading (milliseconds) at which the audio context took
// the music's first samples since it last started; negative before.
EM_JS(double, kestrel_music_taken_at, (), { return kestrelPage.musicTakenAt(); });

namespace {
FixedRateClock gClock;
HeardClock gHeard;
// A context that takes no samples must not stop the show: after this long
// the music counts as taken when it started.
constexpr double kTakePatience = 0.5;
bool gAwaitingTake = false;
double gHeldAt = 0.0;
double gDelay = 0.0;
double gTakenAt = HUGE_VAL;

double PageSeconds() { return emscripten_get_now() / 1000.0; }

// The first start follows the click that unlocks the audio context, which
// may begin to render a while later (far later on a busy machine): the
// music is heard its delay after the context took it, not after it was
// asked to play. The context's clock reaches the page in steps, so each
// reading puts that moment late by the time since the last step; the
// earliest of the readings while the show's clock still stands is taken,
// which moves nothing on screen.
void TakeStart() {
    if (!gAwaitingTake) return;
    const double now = PageSeconds();
    const double taken = kestrel_music_taken_at() / 1000.0;
    if (taken >= 0.0) gTakenAt = std::min(gTakenAt, taken);
    else if (gTakenAt == HUGE_VAL && now > gHeldAt + kTakePatience) gTakenAt = gHeldAt;
    if (gTakenAt == HUGE_VAL) return;
    gHeard.HeardFrom(gTakenAt + gDelay);
    gAwaitingTake = gHeard.Held(now);
}
}  // namespace

double Now() { return gClock.Now(emscripten_get_now() / 1000.0); }

void UseFixedRate(double framesPerSecond) { gClock.UseFixedRate(framesPerSecond); }

bool IsFixed() { return gClock.IsFixed(); }

void SetShowShift(double seconds) { gClock.SetShowShift(seconds); }

double ShowNow() {
    const double shown = gClock.ShowNow(PageSeconds());
    if (IsFixed()) return shown;
    TakeStart();
    return gHeard.Read(shown);
}

void HoldShowClock(double delay) {
    if (IsFixed()) return;
    gHeldAt = PageSeconds();
    gDelay = delay;
    gTakenAt = HUGE_VAL;
    gAwaitingTake = true;
    gHeard.Hold(gClock.ShowNow(gHeldAt));
}

void ChangeShowDelay(double change) {
    if (!IsFixed()) gHeard.Change(gClock.ShowNow(PageSeconds()), change);
}

bool ShowClockHeld() {
    if (IsFixed()) return false;
    TakeStart();
    return gHeard.Held(Now());
}

void AdvanceFrame() { gClock.AdvanceFrame(); }

}  // namespace WebClock
