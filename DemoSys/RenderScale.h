// The render scale the frames are drawn at: the host asks for one, the next
// frame's start applies it. Logical sizes (the 320 x 480 screen, a 256 x 256
// target) stay what the scenes say; only the pixels behind them multiply.
#pragma once

namespace DemoSys {

// Pixels per logical pixel for the frame being drawn.
int RenderScale();
inline int ScaledPixels(int logical) { return logical * RenderScale(); }

// Makes the scale the host last asked for, within its limit, the current
// one; answers whether it changed, in which case every render target must be
// remade.
bool ApplyRenderScale();

}  // namespace DemoSys
