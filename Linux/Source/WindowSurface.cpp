#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DemoSys/Presentation.h"
#include "DemoSys/UprightBlit.h"
#include "DisplaySurface.h"
#include "PlatformClock.h"
#include "RasteriserThreads.h"
#include "WindowEvents.h"
#include "WindowPlacement.h"

namespace {

// The window opens at the largest whole multiple of the picture that fits
// this share of the desktop.
constexpr double kDesktopShare = 0.8;

// An empty variable names no display.
const char* DisplayVariable(const char* name) {
    const char* value = getenv(name);
    return value && value[0] ? value : nullptr;
}

// The displays the window was tried on, as the variables name them.
std::string DisplaysTried() {
    const char* wayland = DisplayVariable("WAYLAND_DISPLAY");
    const char* x11 = DisplayVariable("DISPLAY");
    std::string tried;
    if (wayland) tried = "WAYLAND_DISPLAY '" + std::string(wayland) + "'";
    if (wayland && x11) tried += " or ";
    if (x11) tried += "DISPLAY '" + std::string(x11) + "'";
    return tried;
}

class WindowSurface : public DisplaySurface {
public:
    WindowSurface(SDL_Window* window, SDL_GLContext context, const WindowChoices& choices, bool vsync)
        : mWindow(window), mContext(context), mChoices(choices), mBlit(!choices.portrait), mVsync(vsync) {
        if (choices.fullscreen) SDL_ShowCursor(SDL_DISABLE);
        FollowDrawable(Drawable());
        FollowDisplay();
    }
    ~WindowSurface() override {
        SDL_GL_DeleteContext(mContext);
        SDL_DestroyWindow(mWindow);
    }
    bool MakeCurrent() override { return SDL_GL_MakeCurrent(mWindow, mContext) == 0; }

    bool Present(unsigned int colourTexture, int, int) override {
        mBlit.Draw(colourTexture, mDrawable, 0);
        if (mRefreshPeriod == 0.0) {
            SDL_GL_SwapWindow(mWindow);
            return true;
        }
        // The frame is finished before the swap, so that the swap's time is
        // the wait for the refresh alone.
        glFinish();
        const double finished = PlatformClock::Monotonic();
        SDL_GL_SwapWindow(mWindow);
        mPresentWait = PlatformClock::Monotonic() - finished;
        return true;
    }

    SurfaceEvents PollEvents() override {
        SurfaceEvents events;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_QUIT) events.quit = true;
            if (e.type == SDL_KEYDOWN) HandleKey(e.key, events);
            if (e.type == SDL_WINDOWEVENT) {
                NoteFocus(e.window.event, events);
                if (e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) FollowDisplay();
            }
        }
        // Every refresh, not on SDL's resize events alone: a window manager
        // may refuse or change the size asked for, and without one a
        // fullscreen request leaves the window as it was, while SDL takes
        // the size it asked for as granted.
        const Presentation::Size drawable = Drawable();
        if (drawable.width != mDrawable.width || drawable.height != mDrawable.height) FollowDrawable(drawable);
        return events;
    }
    double RefreshPeriod() const override { return mRefreshPeriod; }
    double PresentWait() const override { return mPresentWait; }
    void ShowTimeLine(bool shown) override { mBlit.ShowBar(shown); }
    void PresentAgain() override {
        if (mBlit.LastTexture()) Present(mBlit.LastTexture(), 0, 0);
    }

private:
    // Presents wait for the display only with vsync, and the wait is known
    // only where the display tells its rate (a virtual X server tells none,
    // and its swaps do not wait).
    void FollowDisplay() {
        SDL_DisplayMode mode;
        const bool known = mVsync && SDL_GetWindowDisplayMode(mWindow, &mode) == 0 && mode.refresh_rate > 0;
        mRefreshPeriod = known ? 1.0 / mode.refresh_rate : 0.0;
        mPresentWait = 0.0;
    }

    // The size of the surface as the window system has it, which EGL asks
    // the display server for; SDL's own answer where EGL has none.
    Presentation::Size Drawable() const {
        Presentation::Size size;
        const EGLDisplay display = eglGetCurrentDisplay();
        const EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
        if (surface != EGL_NO_SURFACE && eglQuerySurface(display, surface, EGL_WIDTH, &size.width) &&
            eglQuerySurface(display, surface, EGL_HEIGHT, &size.height) && size.width > 0 && size.height > 0)
            return size;
        SDL_GL_GetDrawableSize(mWindow, &size.width, &size.height);
        return size;
    }

    // Without a render scale of the viewer's choosing, the picture's pixels
    // cover the window's: resizing and fullscreen change the scale.
    void FollowDrawable(Presentation::Size drawable) {
        mDrawable = drawable;
        const float scale = mChoices.renderScale == 0.0f ? Presentation::CoveringScale(drawable, !mChoices.portrait)
                                                         : mChoices.renderScale;
        Host::SetRenderScale(scale);
        fprintf(stderr, "kestrel: drawing for a window of %d x %d, at render scale %g at most\n", drawable.width,
                drawable.height, static_cast<double>(scale));
    }

    void HandleKey(const SDL_KeyboardEvent& key, SurfaceEvents& events) {
        const WindowKey action = ActionForKey(key.keysym.sym, key.keysym.mod, key.repeat != 0);
        switch (action) {
            case WindowKey::kQuit: events.quit = true; break;
            case WindowKey::kToggleFullscreen: ToggleFullscreen(); break;
            case WindowKey::kNone: break;
            default: NotePlayerKey(action, events); break;
        }
    }

    void ToggleFullscreen() {
        const bool fullscreen = (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
        if (SDL_SetWindowFullscreen(mWindow, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            fprintf(stderr, "kestrel: cannot %s fullscreen: %s\n", fullscreen ? "leave" : "enter", SDL_GetError());
            return;
        }
        SDL_ShowCursor(fullscreen ? SDL_ENABLE : SDL_DISABLE);
        // Whether the window really changed size is told by the drawable's
        // line, on a later refresh, when the window system has answered.
        fprintf(stderr, "kestrel: fullscreen %s\n", fullscreen ? "off" : "on");
    }

    SDL_Window* mWindow;
    SDL_GLContext mContext;
    WindowChoices mChoices;
    UprightBlit mBlit;
    bool mVsync;
    Presentation::Size mDrawable;
    double mRefreshPeriod = 0.0;
    double mPresentWait = 0.0;
};

}  // namespace

bool DisplayAvailable() { return DisplayVariable("DISPLAY") || DisplayVariable("WAYLAND_DISPLAY"); }

std::unique_ptr<DisplaySurface> CreateWindowSurface(const WindowChoices& choices) {
    // GLES through EGL, so the same driver path serves window and headless.
    SDL_SetHint(SDL_HINT_OPENGL_ES_DRIVER, "1");
    // Only a display server shows a window; SDL would otherwise fall back to
    // drawing into memory, an invisible show. SDL_VIDEODRIVER still overrides.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, DisplayVariable("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
    SpareRasteriserThread();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "kestrel: no display server reachable at %s (%s); rendering headless\n",
                DisplaysTried().c_str(), SDL_GetError());
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const Presentation::Size picture = Presentation::PictureSize(!choices.portrait);
    ScreenRect usable{0, 0, picture.width * 2, picture.height * 2};
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(0, &bounds) == 0) usable = {bounds.x, bounds.y, bounds.w, bounds.h};
    const double scale = WholeScaleWithin(usable, picture.width, picture.height, kDesktopShare);
    ScreenRect place = PlaceWindow(usable, picture.width, picture.height, scale);
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                         (choices.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_Window* window = SDL_CreateWindow("kestrel", place.x, place.y, place.width, place.height, flags);
    // The window manager's frame is known only once the window exists; the
    // window is placed again so that the frame fits on the screen too.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (window && !choices.fullscreen && SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 &&
        (top || left || bottom || right)) {
        place = PlaceWindow(Inset(usable, top, left, bottom, right), picture.width, picture.height, scale);
        SDL_SetWindowSize(window, place.width, place.height);
        SDL_SetWindowPosition(window, place.x, place.y);
    }
    if (!window) {
        fprintf(stderr, "kestrel: no window: %s; rendering headless\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        fprintf(stderr, "kestrel: no OpenGL ES 2.0 context in a window: %s; rendering headless\n", SDL_GetError());
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    const bool vsync = SDL_GL_SetSwapInterval(1) == 0;
    return std::make_unique<WindowSurface>(window, context, choices, vsync);
}
