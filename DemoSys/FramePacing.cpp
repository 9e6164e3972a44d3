#include "FramePacing.h"

#include <algorithm>

namespace {

// Clock readings that differ by less than this are one moment: a simulated
// display's refreshes and the ticks are both sums of rounded fractions.
constexpr double kSameMoment = 1e-9;

// Half the span around a tick whose refresh is the one nearest it. A display
// of 60 Hz or slower has at most one refresh in any tick's span.
double HalfSpan(double refreshPeriod) { return std::clamp(refreshPeriod, 0.0, FramePacer::kTick) / 2.0; }

}  // namespace

bool FramePacer::Due(double now, double refreshPeriod) {
    const bool clockWentBack = mStarted && now < mLastRefresh;
    mLastRefresh = now;
    if (!mStarted || clockWentBack) {
        mStarted = true;
        mOrigin = now;
        mTicks = 0;
        return true;
    }
    const double half = HalfSpan(refreshPeriod);
    const double tick = mOrigin + static_cast<double>(mTicks + 1) * kTick;
    if (now < tick - half - kSameMoment) return false;
    // Nearer the tick after than this one: ticks went by unplayed.
    if (now > tick + kTick / 2.0 + kSameMoment) {
        mOrigin = now;
        mTicks = 0;
    } else {
        ++mTicks;
    }
    return true;
}

bool FramePacer::Due(double now) { return Due(now, mStarted ? now - mLastRefresh : 0.0); }

double FramePacer::NextDue(double refreshPeriod) const {
    return mOrigin + static_cast<double>(mTicks + 1) * kTick - HalfSpan(refreshPeriod);
}
