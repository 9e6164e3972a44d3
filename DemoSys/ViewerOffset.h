// The viewer's own offset between the music and the picture, as video
// players have it, for an output whose delay nobody reports (a wireless
// headset behind a sound server that does not know it): positive puts the
// picture later. The hosts' keys move it a step at a time, and the time
// line names it for a while after.
#pragma once

#include "Host.h"

namespace ViewerOffset {

inline constexpr double kStep = 0.010;
inline constexpr double kLimit = 1.0;

// The offset the viewer asked for at the start, within the limits.
void Set(double seconds);
double Seconds();
// Follows the keys' steps at `now` (seconds on any steady clock): answers
// whether the offset moved. Called on every refresh.
bool Follow(const SurfaceEvents& events, double now);
// For a while after the offset moved, the time line shows it.
bool LabelShown();

}  // namespace ViewerOffset
