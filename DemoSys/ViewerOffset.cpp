#include "ViewerOffset.h"

#include <algorithm>

#include "Seeking.h"

namespace ViewerOffset {

namespace {
double gSeconds = 0.0;
double gLabelUntil = 0.0;
bool gLabelShown = false;
}  // namespace

void Set(double seconds) { gSeconds = std::clamp(seconds, -kLimit, kLimit); }

double Seconds() { return gSeconds; }

bool Follow(const SurfaceEvents& events, double now) {
    const double before = gSeconds;
    Set(gSeconds + events.offsetSteps * kStep);
    if (events.offsetSteps != 0) gLabelUntil = now + Seeking::PlayerControls::kTimeLineSeconds;
    gLabelShown = now < gLabelUntil;
    return gSeconds != before;
}

bool LabelShown() { return gLabelShown; }

}  // namespace ViewerOffset
