// The clock the show reads in place of the wall clock. In fixed-rate mode it
// answers frame / rate, advanced once per display refresh by the host, so that
// runs are repeatable frame for frame.
#pragma once

namespace PlatformClock {

// Seconds; the wall clock (gettimeofday) unless a fixed rate is set.
double Now();
void UseFixedRate(double framesPerSecond);
bool IsFixed();
void AdvanceFrame();

}  // namespace PlatformClock
