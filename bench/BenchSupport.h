// What the benchmarks share: one headless GL context with the bundle set.
#pragma once

class GLView;

// Made on first use; ends the program when no context can be had.
GLView& BenchScreen();
