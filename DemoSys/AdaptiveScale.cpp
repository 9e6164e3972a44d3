#include "AdaptiveScale.h"

#include <algorithm>
#include <cstdio>

#include "FramePacing.h"
#include "Host.h"
#include "RenderScale.h"

int AdaptiveScale::FramePlayed(double seconds, int scale) {
    if (mLimit == 0) mLimit = Host::kMaxRenderScale;
    if (scale != mScale) {
        mScale = scale;
        mFrames = 0;
        mTotal = 0.0;
        return mLimit;
    }
    mTotal += seconds;
    if (++mFrames < kWindow) return mLimit;
    mJudgedMean = mTotal / mFrames;
    mFrames = 0;
    mTotal = 0.0;
    // The cost grows with the pixels drawn, the square of the scale.
    const double grown = static_cast<double>((scale + 1) * (scale + 1)) / static_cast<double>(scale * scale);
    if (mJudgedMean > kTooSlow * FramePacer::kTick) mLimit = std::max(1, scale - 1);
    else if (mJudgedMean * grown < kRoomToGrow * FramePacer::kTick) mLimit = std::min(Host::kMaxRenderScale, scale + 1);
    return mLimit;
}

bool AdaptiveScale::Judge(double seconds, char* line, size_t size) {
    const int scale = DemoSys::RenderScale();
    Host::LimitRenderScale(FramePlayed(seconds, scale));
    const int before = mDrawnAt;
    mDrawnAt = scale;
    if (before == 0 || before == scale) return false;
    snprintf(line, size, "render scale %d, was %d (the frames judged last took %.1f ms on average)", scale, before,
             mJudgedMean * 1000.0);
    return true;
}
