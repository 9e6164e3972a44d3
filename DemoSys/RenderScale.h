// The render scale the frames are drawn at: the host asks for one, the next
// frame's start applies it. Logical sizes (the 320 x 480 screen, a 256 x 256
// target) stay what the scenes say; only the pixels behind them multiply.
#pragma once

namespace DemoSys {

// Pixels along a logical pixel for the frame being drawn: 1 to
// Host::kMaxRenderScale in steps of Host::kRenderScaleStep.
float RenderScale();
// A logical size in whole pixels at the render scale.
int ScaledPixels(int logical);
// The step of the scale nearest a value, within 1 and Host::kMaxRenderScale.
float NearestRenderScale(float scale);

// Makes the scale the host last asked for, within its limit, the current
// one; answers whether it changed, in which case every render target must be
// remade.
bool ApplyRenderScale();

}  // namespace DemoSys
