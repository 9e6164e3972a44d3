#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

#include "DisplaySurface.h"
#include "RasteriserThreads.h"

namespace {

class HeadlessSurface : public DisplaySurface {
public:
    HeadlessSurface(EGLDisplay display, EGLContext context) : mDisplay(display), mContext(context) {}
    ~HeadlessSurface() override {
        eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(mDisplay, mContext);
        eglTerminate(mDisplay);
    }
    bool MakeCurrent() override {
        return eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, mContext) == EGL_TRUE;
    }
    // The frame stays in the view's framebuffer, where it can be read back.
    bool Present(unsigned int, int, int) override { return true; }
    SurfaceEvents PollEvents() override { return {}; }
    double RefreshPeriod() const override { return 0.0; }
    bool ShowsEveryFrame() const override { return false; }

private:
    EGLDisplay mDisplay;
    EGLContext mContext;
};

EGLDisplay OpenSurfacelessDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

std::unique_ptr<DisplaySurface> Fail(const char* what, EGLDisplay display) {
    fprintf(stderr, "kestrel: headless EGL: %s (EGL error 0x%X)\n", what, eglGetError());
    if (display != EGL_NO_DISPLAY) eglTerminate(display);
    return nullptr;
}

// What a headless context is made for: the show's OpenGL ES 2.0, or the
// desktop OpenGL that a bench's counting queries need.
struct ContextKind {
    EGLenum api;
    EGLint renderable;
    const EGLint* attributes;
    const char* name;
};

std::unique_ptr<DisplaySurface> CreateSurfaceless(const ContextKind& kind) {
    SpareRasteriserThread();
    EGLDisplay display = OpenSurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return Fail("no surfaceless platform", display);
    if (!eglInitialize(display, nullptr, nullptr)) return Fail("cannot initialise the display", display);
    char what[96];
    snprintf(what, sizeof what, "no %s API", kind.name);
    if (!eglBindAPI(kind.api)) return Fail(what, display);

    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, kind.renderable,
                                    EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                                    EGL_BLUE_SIZE,    8,               EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    snprintf(what, sizeof what, "no %s configuration", kind.name);
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1) return Fail(what, display);

    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, kind.attributes);
    snprintf(what, sizeof what, "cannot create an %s context", kind.name);
    if (context == EGL_NO_CONTEXT) return Fail(what, display);
    auto surface = std::make_unique<HeadlessSurface>(display, context);
    if (!surface->MakeCurrent()) {
        fprintf(stderr, "kestrel: headless EGL: cannot make the context current (EGL error 0x%X)\n", eglGetError());
        return nullptr;
    }
    return surface;
}

}  // namespace

std::unique_ptr<DisplaySurface> CreateHeadlessSurface() {
    static const EGLint contextAttribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    return CreateSurfaceless({EGL_OPENGL_ES_API, EGL_OPENGL_ES2_BIT, contextAttribs, "OpenGL ES 2.0"});
}

std::unique_ptr<DisplaySurface> CreateHeadlessDesktopSurface() {
    return CreateSurfaceless({EGL_OPENGL_API, EGL_OPENGL_BIT, nullptr, "OpenGL"});
}
