#include "CanvasSurface.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>

#include "DemoSys/Presentation.h"
#include "DemoSys/UprightBlit.h"

namespace {

constexpr const char* kCanvas = "#canvas";
// Position, normal or colour, texture coordinates, particle centre.
constexpr GLuint kDemoAttributes = 4;

std::unique_ptr<CanvasSurface> Fail(const char* what) {
    fprintf(stderr, "kestrel: no WebGL context: %s (EGL error 0x%X)\n", what, eglGetError());
    return nullptr;
}

}  // namespace

CanvasSurface::CanvasSurface(void* display, void* surface, void* context)
    : mDisplay(display), mSurface(surface), mContext(context), mBlit(true) {
    // WebGL refuses any draw while an enabled attribute has no buffer, even
    // one the program does not read; native GL does not mind, and the scenes
    // enable the attributes they share ahead of their draws. Every attribute
    // the demo uses starts with a buffer.
    static const float kNeverRead[8] = {};
    GLuint start = 0;
    glGenBuffers(1, &start);
    glBindBuffer(GL_ARRAY_BUFFER, start);
    glBufferData(GL_ARRAY_BUFFER, sizeof kNeverRead, kNeverRead, GL_STATIC_DRAW);
    for (GLuint attribute = 0; attribute < kDemoAttributes; ++attribute)
        glVertexAttribPointer(attribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

CanvasSurface::~CanvasSurface() {
    eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(mDisplay, mContext);
    eglDestroySurface(mDisplay, mSurface);
    eglTerminate(mDisplay);
}

std::unique_ptr<CanvasSurface> CanvasSurface::Create() {
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return Fail("no display");
    // An opaque canvas without depth: the show draws in its own framebuffer.
    const EGLint configAttribs[] = {EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 0,
                                    EGL_DEPTH_SIZE, 0, EGL_STENCIL_SIZE, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1) return Fail("no configuration");
    EGLSurface surface = eglCreateWindowSurface(display, config, 0, nullptr);
    if (surface == EGL_NO_SURFACE) return Fail("no canvas surface");
    const EGLint contextAttribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
    if (context == EGL_NO_CONTEXT) return Fail("cannot create a WebGL 1 context");
    if (!eglMakeCurrent(display, surface, surface, context)) return Fail("cannot make the context current");
    return std::unique_ptr<CanvasSurface>(new CanvasSurface(display, surface, context));
}

bool CanvasSurface::MakeCurrent() { return eglMakeCurrent(mDisplay, mSurface, mSurface, mContext) == EGL_TRUE; }

void CanvasSurface::FollowPageSize() {
    double cssWidth = 0.0, cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int width = static_cast<int>(std::lround(cssWidth * ratio));
    const int height = static_cast<int>(std::lround(cssHeight * ratio));
    if (width == mWidth && height == mHeight) return;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    mWidth = width;
    mHeight = height;
    // As in the desktop window: the picture's pixels cover the canvas's.
    Host::SetRenderScale(Presentation::CoveringScale({mWidth, mHeight}, true));
}

bool CanvasSurface::Present(unsigned int colourTexture, int, int) {
    FollowPageSize();
    mBlit.Draw(colourTexture, {mWidth, mHeight}, 0);
    return true;
}

void CanvasSurface::NoteVisibility(bool visible) {
    if (visible) mPending.becameActive = true;
    else mPending.resignedActive = true;
}

SurfaceEvents CanvasSurface::PollEvents() {
    const SurfaceEvents events = mPending;
    mPending = SurfaceEvents();
    return events;
}
