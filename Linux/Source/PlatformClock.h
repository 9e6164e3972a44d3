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

// The music as heard (DemoSys/HeardClock.h), on the wall clock only: a
// fixed clock waits for no output. The output's latency, from the player:
void SetOutputLatency(double seconds);
// The viewer's offset, positive for a later picture; a change while the
// music plays is followed smoothly.
void SetViewerOffset(double seconds);
// The music starts or goes on: the show's clock stands until the samples
// handed over from now on are heard.
void HoldShowClock();
// The first of those samples was handed to the output at `at` (Now()).
// Safe to call from the audio device's thread.
void MusicHandedOver(double at);
bool ShowClockHeld();
void UseFixedRate(double framesPerSecond);
bool IsFixed();
// Steps a second on a fixed rate.
double Rate();
void AdvanceFrame();

// Seconds on a clock that only runs forward, for measuring durations.
double Monotonic();

}  // namespace PlatformClock
