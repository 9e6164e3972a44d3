#include "RenderScale.h"

#include <algorithm>
#include <cmath>

#include "Host.h"

namespace {
float gRequested = 1.0f;
float gLimit = Host::kMaxRenderScale;
float gApplied = 1.0f;
}  // namespace

void Host::SetRenderScale(float scale) { gRequested = DemoSys::NearestRenderScale(scale); }

void Host::LimitRenderScale(float limit) { gLimit = DemoSys::NearestRenderScale(limit); }

namespace DemoSys {

float RenderScale() { return gApplied; }

int ScaledPixels(int logical) { return static_cast<int>(std::lround(static_cast<float>(logical) * gApplied)); }

float NearestRenderScale(float scale) {
    // NaN goes to the smallest scale, as does everything below it.
    if (!(scale > 1.0f)) return 1.0f;
    const float steps = std::round(std::min(scale, static_cast<float>(Host::kMaxRenderScale)) / Host::kRenderScaleStep);
    return steps * Host::kRenderScaleStep;
}

bool ApplyRenderScale() {
    const float scale = std::min(gRequested, gLimit);
    if (scale == gApplied) return false;
    gApplied = scale;
    return true;
}

}  // namespace DemoSys
