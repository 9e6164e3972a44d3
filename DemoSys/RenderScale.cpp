#include "RenderScale.h"

#include <algorithm>

#include "Host.h"

namespace {
int gRequested = 1;
int gLimit = Host::kMaxRenderScale;
int gApplied = 1;
}  // namespace

void Host::SetRenderScale(int scale) { gRequested = std::clamp(scale, 1, kMaxRenderScale); }

void Host::LimitRenderScale(int limit) { gLimit = std::clamp(limit, 1, kMaxRenderScale); }

namespace DemoSys {

int RenderScale() { return gApplied; }

bool ApplyRenderScale() {
    const int scale = std::min(gRequested, gLimit);
    if (scale == gApplied) return false;
    gApplied = scale;
    return true;
}

}  // namespace DemoSys
