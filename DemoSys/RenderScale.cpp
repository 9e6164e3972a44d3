#include "RenderScale.h"

#include <algorithm>

#include "Host.h"

namespace {
int gRequested = 1;
int gApplied = 1;
}  // namespace

void Host::SetRenderScale(int scale) { gRequested = std::clamp(scale, 1, kMaxRenderScale); }

namespace DemoSys {

int RenderScale() { return gApplied; }

bool ApplyRenderScale() {
    if (gRequested == gApplied) return false;
    gApplied = gRequested;
    return true;
}

}  // namespace DemoSys
