// The browser's clock for the show: the page's high-resolution time, or a
// fixed frame rate that counts played frames so that runs are repeatable.
#pragma once

namespace WebClock {

double Now();
void UseFixedRate(double framesPerSecond);
void AdvanceFrame();

}  // namespace WebClock
