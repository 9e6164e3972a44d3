// When a host fires the show's frame driver. The scenes step their particles
// and animation by a fixed amount on every frame, so the show keeps its pace
// only at 60 frames a second of its own clock: a fast display plays a frame
// on the refresh nearest each 1/60 s tick and presents nothing new on the
// others; a display of 60 Hz or slower plays a frame on every refresh. A
// played frame shows the show at the tick it stands for, so that the time
// between frames is a tick wherever the display keeps up, as on the 60 Hz
// display the show was made for. Pure arithmetic on clock readings: every
// host (a window, a browser page, a simulated display on the fixed clock)
// follows the same rule.
#pragma once

class FramePacer {
public:
    static constexpr double kTick = 1.0 / 60.0;

    // Whether the show plays a frame on the refresh at `now` (seconds on the
    // show's clock), on a display that refreshes every `refreshPeriod`
    // seconds. A refresh plays when it is nearer the next tick than the
    // refresh after it would be, a tie going to the earlier one. A refresh
    // more than half a tick past the next tick (a slow display, a long
    // frame, a clock that jumped forward) or earlier than the one before it
    // (a clock that jumped back) plays at once and lays the ticks anew from
    // itself, so that no burst of frames catches up and no frozen stretch
    // waits for the clock.
    bool Due(double now, double refreshPeriod);

    // The same for a host that learns the display only from its refreshes
    // (a browser's animation frames): the period is taken as the time since
    // the previous refresh.
    bool Due(double now);

    // The show's time of the frame Due last let play: the tick it stands for,
    // within half a tick of the refresh.
    double FrameTime() const { return mOrigin + static_cast<double>(mTicks) * kTick; }

    // The earliest clock reading at which a frame can be due, for a host
    // that sleeps through the refreshes in between.
    double NextDue(double refreshPeriod) const;

private:
    bool mStarted = false;
    double mOrigin = 0.0;  // the refresh the ticks are laid from
    long long mTicks = 0;  // the tick the last played frame stands for, counted from the origin
    double mLastRefresh = 0.0;
};
