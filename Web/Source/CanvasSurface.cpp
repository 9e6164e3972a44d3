#include "CanvasSurface.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>

#include "DemoSys/Presentation.h"

namespace {

constexpr const char* kCanvas = "#canvas";
// Position, normal or colour, texture coordinates, particle centre.
constexpr GLuint kDemoAttributes = 4;

// The raw screen is portrait; the viewer sees it turned a quarter turn
// counter-clockwise, so that its right edge (+x) is the top. The upright
// picture's (u, v) samples the raw frame at (v, 1 - u).
const char* const kUprightVertex =
    "attribute vec2 pos;\n"
    "varying vec2 vUv;\n"
    "void main() {\n"
    "  vec2 upright = pos * 0.5 + 0.5;\n"
    "  vUv = vec2(upright.y, 1.0 - upright.x);\n"
    "  gl_Position = vec4(pos, 0.0, 1.0);\n"
    "}\n";
const char* const kUprightFragment =
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

GLuint LinkUprightProgram() {
    const GLuint vs = CompileStage(GL_VERTEX_SHADER, kUprightVertex);
    const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, kUprightFragment);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "pos");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

std::unique_ptr<CanvasSurface> Fail(const char* what) {
    fprintf(stderr, "kestrel: no WebGL context: %s (EGL error 0x%X)\n", what, eglGetError());
    return nullptr;
}

}  // namespace

CanvasSurface::CanvasSurface(void* display, void* surface, void* context)
    : mDisplay(display), mSurface(surface), mContext(context) {
    mProgram = LinkUprightProgram();
    static const float kQuad[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenBuffers(1, &mQuad);
    glBindBuffer(GL_ARRAY_BUFFER, mQuad);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuad, kQuad, GL_STATIC_DRAW);
    // WebGL refuses any draw while an enabled attribute has no buffer, even
    // one the program does not read; native GL does not mind, and the scenes
    // enable the attributes they share ahead of their draws. Every attribute
    // the demo uses starts with a buffer.
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
    const Presentation::Rect fitted = Presentation::FitPicture({mWidth, mHeight}, true);
    // Draw state is saved and restored so the demo never sees this pass.
    GLint program = 0, framebuffer = 0, texture = 0, viewport[4];
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const GLboolean depth = glIsEnabled(GL_DEPTH_TEST), blend = glIsEnabled(GL_BLEND), cull = glIsEnabled(GL_CULL_FACE);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, mWidth, mHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(fitted.x, fitted.y, fitted.width, fitted.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glUseProgram(mProgram);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colourTexture);
    glBindBuffer(GL_ARRAY_BUFFER, mQuad);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glUseProgram(static_cast<GLuint>(program));
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (depth) glEnable(GL_DEPTH_TEST);
    if (blend) glEnable(GL_BLEND);
    if (cull) glEnable(GL_CULL_FACE);
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
