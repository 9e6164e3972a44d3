// The Linux surfaces the show can draw on; the interface itself belongs to
// the demo's host seam.
#pragma once

#include <memory>

#include "DemoSys/Host.h"

// Headless EGL on Mesa without any display server; null with a message on
// standard error when no context can be had.
std::unique_ptr<DisplaySurface> CreateHeadlessSurface();
// The same over desktop OpenGL, for the queries OpenGL ES 2.0 lacks (a
// bench's fragment counts); null with a message when there is none.
std::unique_ptr<DisplaySurface> CreateHeadlessDesktopSurface();
// How the window shows the show.
struct WindowChoices {
    bool portrait = false;    // the raw portrait screen instead of the upright picture
    bool fullscreen = false;  // at the desktop's resolution, without a mode change
    float renderScale = 0.0f;  // 0: the smallest that covers the window, following it
};
// An SDL2 window with a vsynced OpenGL ES 2.0 context; null when no display.
// F11 and Alt+Enter toggle fullscreen; Escape and closing it quit.
std::unique_ptr<DisplaySurface> CreateWindowSurface(const WindowChoices& choices);
// A display is usable when one of the windowing systems' variables is set.
bool DisplayAvailable();
// The screen whose WantsPicture tells the show which frames to draw
// (Host::FrameWanted); without one every frame is drawn.
void SetFrameJudge(const DisplaySurface* screen);
