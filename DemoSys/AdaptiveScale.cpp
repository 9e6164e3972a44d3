#include "AdaptiveScale.h"

#include <algorithm>
#include <cstdio>

#include "FramePacing.h"
#include "Host.h"
#include "RenderScale.h"

float AdaptiveScale::LargestScaleWithin(double cost, float scale) {
    // A step at a time would cost a window of slow frames per quarter: from
    // 2 down to 1 on a slow page that is seconds of the opening at a third
    // of the pace.
    const double budget = kTooSlow * FramePacer::kTick;
    float lower = scale - Host::kRenderScaleStep;
    while (lower > 1.0f && cost * lower * lower > budget * scale * scale) lower -= Host::kRenderScaleStep;
    return std::max(1.0f, lower);
}

float AdaptiveScale::FramePlayed(double seconds, float scale) {
    if (mLimit == 0.0f) mLimit = Host::kMaxRenderScale;
    if (scale != mScale) {
        mScale = scale;
        mFrames = 0;
        mTotal = 0.0;
        return mLimit;
    }
    mTotal += seconds;
    ++mFrames;
    const bool farTooSlow = mFrames >= kQuickWindow && mTotal > kFarTooSlow * kTooSlow * FramePacer::kTick * mFrames;
    if (mFrames < kWindow && !farTooSlow) return mLimit;
    mJudgedMean = mTotal / mFrames;
    mFrames = 0;
    mTotal = 0.0;
    // The cost grows with the pixels drawn, the square of the scale.
    const float above = scale + Host::kRenderScaleStep;
    const double grown = static_cast<double>(above * above) / static_cast<double>(scale * scale);
    if (mRetryWait > 0) --mRetryWait;
    if (mJudgedMean > kTooSlow * FramePacer::kTick) {
        mLimit = LargestScaleWithin(mJudgedMean, scale);
        mTooSlowAt = mLimit + Host::kRenderScaleStep;
        mRetryWait = kRetryWindows;
    } else if (mJudgedMean * grown < kRoomToGrow * FramePacer::kTick && !(above >= mTooSlowAt && mRetryWait > 0)) {
        mLimit = std::min(static_cast<float>(Host::kMaxRenderScale), above);
    }
    return mLimit;
}

bool AdaptiveScale::Judge(double seconds, char* line, size_t size) {
    const float scale = DemoSys::RenderScale();
    Host::LimitRenderScale(FramePlayed(seconds, scale));
    const float before = mDrawnAt;
    mDrawnAt = scale;
    if (before == 0.0f || before == scale) return false;
    snprintf(line, size, "render scale %g, was %g, at %.1f s (the frames judged last took %.1f ms on average)",
             static_cast<double>(scale), static_cast<double>(before), Host::ShowTime(), mJudgedMean * 1000.0);
    return true;
}
