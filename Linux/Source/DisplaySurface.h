// The screen the show draws on: a current OpenGL ES 2.0 context plus a way to
// put a finished 320 x 480 frame in front of the viewer. The demo renders into
// its own framebuffer object; a surface only shows that framebuffer's texture.
#pragma once

#include <memory>

struct SurfaceEvents {
    bool quit = false;          // window closed or Escape pressed
    bool resignedActive = false;
    bool becameActive = false;
};

class DisplaySurface {
public:
    static constexpr int kScreenWidth = 320;
    static constexpr int kScreenHeight = 480;

    virtual ~DisplaySurface() = default;
    virtual bool MakeCurrent() = 0;
    // Shows the colour texture of the finished frame; answers success.
    virtual bool Present(unsigned int colourTexture) = 0;
    virtual SurfaceEvents PollEvents() = 0;
    // True when presenting waits for the display's refresh.
    virtual bool PacedByDisplay() const = 0;
    // Called after each refresh; what was presented last is what the viewer sees.
    virtual void EndRefresh() {}
};

// Headless EGL on Mesa without any display server; null with a message on
// standard error when no context can be had.
std::unique_ptr<DisplaySurface> CreateHeadlessSurface();
// An SDL2 window with a vsynced OpenGL ES 2.0 context; null when no display.
std::unique_ptr<DisplaySurface> CreateWindowSurface();
// A display is usable when one of the windowing systems' variables is set.
bool DisplayAvailable();
