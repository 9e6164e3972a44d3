// The page's canvas as the show's display surface: a WebGL 1 context through
// EGL, the finished frame shown upright and scaled to the canvas, whose
// drawing buffer follows its size on the page in device pixels.
#pragma once

#include <memory>

#include "DemoSys/Host.h"
#include "DemoSys/UprightBlit.h"

class CanvasSurface : public DisplaySurface {
public:
    // Null, with a line on the console, when no WebGL context can be made.
    static std::unique_ptr<CanvasSurface> Create();
    ~CanvasSurface() override;

    bool MakeCurrent() override;
    bool Present(unsigned int colourTexture, int width, int height) override;
    SurfaceEvents PollEvents() override;
    // The page's animation frames pace the show; their period is learnt from
    // them, not known ahead.
    double RefreshPeriod() const override { return 0.0; }
    void ShowTimeLine(bool shown) override { mBlit.ShowBar(shown); }
    void PresentAgain() override {
        if (mBlit.LastTexture()) Present(mBlit.LastTexture(), 0, 0);
    }

    // The canvas's drawing buffer size, as last presented.
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // From the page's visibility events, answered by the next PollEvents.
    void NoteVisibility(bool visible);

private:
    CanvasSurface(void* display, void* surface, void* context);
    void FollowPageSize();

    void* mDisplay;
    void* mSurface;
    void* mContext;
    UprightBlit mBlit;
    int mWidth = 0;
    int mHeight = 0;
    SurfaceEvents mPending;
};
