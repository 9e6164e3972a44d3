// What the benchmarks share: one headless GL context with the bundle set; for
// the whole-show bench, the fill rate the rasteriser reaches on plain
// full-screen passes, and a context in which fragments can be counted.
#pragma once

#include <memory>

class DisplaySurface;
class GLView;

// Made on first use; ends the program when no context can be had.
GLView& BenchScreen();

// Milliseconds one full-screen pass takes: the median over rounds of the time
// until glFinish returns, and of the thread's CPU time over the same span
// (the whole pass when the rasteriser runs without worker threads).
struct PassCost {
    double finishMs = 0.0;
    double cpuMs = 0.0;
};
// The cheapest passes a frame can be made of, drawn over a width x height
// target with a depth buffer (as the show's offscreen target), depth test off:
// a flat colour, one nearest-filtered texture read times a colour (the show's
// 2D quads), that read blended over the target by its alpha, and the read
// alone (the white quads' copy). One pass per flush, as in a frame.
struct FillLimits {
    int width = 0, height = 0;
    PassCost flat, textured, blended, copied;
};
// Needs a current context; leaves the draw state it changes as GL's defaults.
FillLimits MeasureFillLimits(int width, int height);

// A desktop OpenGL context without a display, for what an ES context cannot
// count (fragments by occlusion query); the show's ES shaders are compiled in
// it as ES shading language 1.00. Null with a message when none can be had.
std::unique_ptr<DisplaySurface> CreateCountingSurface();
