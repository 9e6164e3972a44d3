// The clock the show reads in place of the wall clock. In fixed-rate mode it
// answers frame / rate, advanced once per display refresh by the host, so that
// runs are repeatable frame for frame. The show itself reads it shifted by
// what the host sets for the frame it plays.
#pragma once

namespace PlatformClock {

// Seconds; the wall clock (gettimeofday) unless a fixed rate is set.
double Now();
// The show's clock, which Host::Now answers: Now() shifted by what the host
// sets before each played refresh, so that the frame shows the show at the
// tick it stands for.
void SetShowShift(double seconds);
double ShowNow();
void UseFixedRate(double framesPerSecond);
bool IsFixed();
// Steps a second on a fixed rate.
double Rate();
void AdvanceFrame();

// Seconds on a clock that only runs forward, for measuring durations.
double Monotonic();

}  // namespace PlatformClock
