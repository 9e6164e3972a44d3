#include <GLES2/gl2.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "DemoSys/Presentation.h"
#include "DisplaySurface.h"
#include "WindowPlacement.h"

namespace {

// The window opens at the largest whole multiple of the picture that fits
// this share of the desktop.
constexpr double kDesktopShare = 0.8;

// Draws the finished frame into the fitted rectangle, turned by the corners'
// texture coordinates; the frame's own size does not matter to the quad.
const char* const kBlitVertex =
    "attribute vec2 pos;\n"
    "attribute vec2 uv;\n"
    "varying vec2 vUv;\n"
    "void main() { vUv = uv; gl_Position = vec4(pos, 0.0, 1.0); }\n";
const char* const kBlitFragment =
    "precision mediump float;\n"
    "uniform sampler2D frame;\n"
    "varying vec2 vUv;\n"
    "void main() { gl_FragColor = texture2D(frame, vUv); }\n";

GLuint CompileStage(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

class WindowSurface : public DisplaySurface {
public:
    WindowSurface(SDL_Window* window, SDL_GLContext context, const WindowChoices& choices)
        : mWindow(window), mContext(context), mChoices(choices) {
        const GLuint vs = CompileStage(GL_VERTEX_SHADER, kBlitVertex);
        const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, kBlitFragment);
        mBlitProgram = glCreateProgram();
        glAttachShader(mBlitProgram, vs);
        glAttachShader(mBlitProgram, fs);
        glBindAttribLocation(mBlitProgram, 0, "pos");
        glBindAttribLocation(mBlitProgram, 1, "uv");
        glLinkProgram(mBlitProgram);
        glDeleteShader(vs);
        glDeleteShader(fs);
        // Corners and the turned picture's texture coordinates, interleaved in
        // one buffer made once: WebGL draws from buffers only, so both hosts do.
        float texCoords[8];
        Presentation::CornerTexCoords(!choices.portrait, texCoords);
        static const float kCorners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
        float quad[16];
        for (int i = 0; i < 4; ++i) {
            quad[4 * i] = kCorners[2 * i];
            quad[4 * i + 1] = kCorners[2 * i + 1];
            quad[4 * i + 2] = texCoords[2 * i];
            quad[4 * i + 3] = texCoords[2 * i + 1];
        }
        glGenBuffers(1, &mQuad);
        glBindBuffer(GL_ARRAY_BUFFER, mQuad);
        glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (choices.fullscreen) SDL_ShowCursor(SDL_DISABLE);
        FollowDrawable();
    }
    ~WindowSurface() override {
        SDL_GL_DeleteContext(mContext);
        SDL_DestroyWindow(mWindow);
    }
    bool MakeCurrent() override { return SDL_GL_MakeCurrent(mWindow, mContext) == 0; }

    bool Present(unsigned int colourTexture, int, int) override {
        const Presentation::Size drawable = Drawable();
        const Presentation::Rect fitted = Presentation::FitPicture(drawable, !mChoices.portrait);
        // Draw state is saved and restored so the demo never sees this pass.
        GLint program = 0, framebuffer = 0, texture = 0, viewport[4];
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_VIEWPORT, viewport);
        const GLboolean depth = glIsEnabled(GL_DEPTH_TEST), blend = glIsEnabled(GL_BLEND),
                        cull = glIsEnabled(GL_CULL_FACE);

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, drawable.width, drawable.height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(fitted.x, fitted.y, fitted.width, fitted.height);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glUseProgram(mBlitProgram);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, colourTexture);
        glBindBuffer(GL_ARRAY_BUFFER, mQuad);
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        const GLsizei stride = 4 * sizeof(float);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glDisableVertexAttribArray(0);
        glDisableVertexAttribArray(1);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        SDL_GL_SwapWindow(mWindow);

        glUseProgram(static_cast<GLuint>(program));
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        if (depth) glEnable(GL_DEPTH_TEST);
        if (blend) glEnable(GL_BLEND);
        if (cull) glEnable(GL_CULL_FACE);
        return true;
    }

    SurfaceEvents PollEvents() override {
        SurfaceEvents events;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_QUIT) events.quit = true;
            if (e.type == SDL_KEYDOWN) HandleKey(e.key, events);
            if (e.type == SDL_WINDOWEVENT) {
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) events.resignedActive = true;
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) events.becameActive = true;
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) FollowDrawable();
            }
        }
        return events;
    }
    bool PacedByDisplay() const override { return mVsync; }
    void SetVsync(bool on) { mVsync = on; }

private:
    Presentation::Size Drawable() const {
        Presentation::Size size;
        SDL_GL_GetDrawableSize(mWindow, &size.width, &size.height);
        return size;
    }

    // Without a render scale of the viewer's choosing, the picture's pixels
    // cover the window's: resizing and fullscreen change the scale.
    void FollowDrawable() {
        if (mChoices.renderScale == 0) Host::SetRenderScale(Presentation::CoveringScale(Drawable(), !mChoices.portrait));
    }

    void HandleKey(const SDL_KeyboardEvent& key, SurfaceEvents& events) {
        const SDL_Keycode code = key.keysym.sym;
        if (code == SDLK_ESCAPE) events.quit = true;
        const bool altEnter = (code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT);
        if ((code == SDLK_F11 || altEnter) && !key.repeat) ToggleFullscreen();
    }

    void ToggleFullscreen() {
        const bool fullscreen = (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
        if (SDL_SetWindowFullscreen(mWindow, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            fprintf(stderr, "kestrel: cannot %s fullscreen: %s\n", fullscreen ? "leave" : "enter", SDL_GetError());
            return;
        }
        SDL_ShowCursor(fullscreen ? SDL_ENABLE : SDL_DISABLE);
        FollowDrawable();
    }

    SDL_Window* mWindow;
    SDL_GLContext mContext;
    WindowChoices mChoices;
    GLuint mBlitProgram = 0;
    GLuint mQuad = 0;
    bool mVsync = false;
};

}  // namespace

bool DisplayAvailable() { return getenv("DISPLAY") || getenv("WAYLAND_DISPLAY"); }

std::unique_ptr<DisplaySurface> CreateWindowSurface(const WindowChoices& choices) {
    // GLES through EGL, so the same driver path serves window and headless.
    SDL_SetHint(SDL_HINT_OPENGL_ES_DRIVER, "1");
    // Only a display server shows a window; SDL would otherwise fall back to
    // drawing into memory, an invisible show. SDL_VIDEODRIVER still overrides.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, getenv("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const char* display = getenv("DISPLAY") ? getenv("DISPLAY") : getenv("WAYLAND_DISPLAY");
        fprintf(stderr, "kestrel: no display server reachable at '%s' (%s); rendering headless\n", display,
                SDL_GetError());
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
    auto surface = std::make_unique<WindowSurface>(window, context, choices);
    surface->SetVsync(SDL_GL_SetSwapInterval(1) == 0);
    return surface;
}
