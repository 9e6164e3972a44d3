// What a host's clock for the show keeps besides the wall clock: at a fixed
// frame rate it answers the frames shown so far over the rate, advanced once
// per refresh by the host, so that a run is repeatable frame for frame; and
// the shift by which the show reads it, set by the host for each played
// frame, so that the frame shows the show at the tick it stands for
// (DemoSys/FramePacing.h).
#pragma once

class FixedRateClock {
public:
    // Counts from 0 at this rate from now on; 0 goes back to the wall clock.
    void UseFixedRate(double framesPerSecond) {
        mRate = framesPerSecond;
        mFrame = 0;
    }
    bool IsFixed() const { return mRate > 0.0; }
    double Rate() const { return mRate; }
    void AdvanceFrame() { ++mFrame; }
    // Seconds: frames over the rate on a fixed rate, else the wall clock's reading.
    double Now(double wallSeconds) const { return IsFixed() ? static_cast<double>(mFrame) / mRate : wallSeconds; }
    void SetShowShift(double seconds) { mShowShift = seconds; }
    // What the show reads: Now shifted.
    double ShowNow(double wallSeconds) const { return Now(wallSeconds) + mShowShift; }

private:
    double mRate = 0.0;
    long long mFrame = 0;
    double mShowShift = 0.0;
};
