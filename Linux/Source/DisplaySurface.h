// The Linux surfaces the show can draw on; the interface itself belongs to
// the demo's host seam.
#pragma once

#include <memory>

#include "DemoSys/Host.h"

// Headless EGL on Mesa without any display server; null with a message on
// standard error when no context can be had.
std::unique_ptr<DisplaySurface> CreateHeadlessSurface();
// An SDL2 window with a vsynced OpenGL ES 2.0 context; null when no display.
std::unique_ptr<DisplaySurface> CreateWindowSurface();
// A display is usable when one of the windowing systems' variables is set.
bool DisplayAvailable();
