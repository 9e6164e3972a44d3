// The browser's clock for the show: the page's high-resolution time, or a
// fixed frame rate that counts played frames so that runs are repeatable.
#pragma once

namespace WebClock {

double Now();
void UseFixedRate(double framesPerSecond);
bool IsFixed();
void AdvanceFrame();
// What the show reads (Host::Now): Now shifted by what the frame loop sets
// for each played frame.
void SetShowShift(double seconds);
double ShowNow();

// The music as heard (DemoSys/HeardClock.h), on the page's clock only: the
// music starts or goes on now and is heard `delay` seconds later.
void HoldShowClock(double delay);
// The picture is to come `change` seconds later from now on, followed smoothly.
void ChangeShowDelay(double change);
bool ShowClockHeld();

}  // namespace WebClock
