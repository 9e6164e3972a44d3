// What a host's clock for the show keeps besides the wall clock: at a fixed
// frame rate it answers the frames shown so far over the rate, advanced once
// per refresh by the host, so that a run is repeatable frame for frame.
#pragma once

class FixedRateClock {
public:
    // Counts from 0 at this rate from now on; 0 goes back to the wall clock.
    void UseFixedRate(double framesPerSecond) {
        mRate = framesPerSecond;
        mFrame = 0;
    }
    bool IsFixed() const { return mRate > 0.0; }
    void AdvanceFrame() { ++mFrame; }
    // Seconds: frames over the rate on a fixed rate, else the wall clock's reading.
    double Now(double wallSeconds) const { return IsFixed() ? static_cast<double>(mFrame) / mRate : wallSeconds; }

private:
    double mRate = 0.0;
    long long mFrame = 0;
};
