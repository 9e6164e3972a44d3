#include "BenchSupport.h"

#include <GLES2/gl2.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DemoSys/Bundle.h"
#include "DemoSys/GLTexture.h"
#include "DemoSys/GLView.h"
#include "Linux/Source/DisplaySurface.h"

GLView& BenchScreen() {
    static DisplaySurface* surface = CreateHeadlessSurface().release();
    static GLView view;
    static bool ready = false;
    if (!ready) {
        if (!surface) {
            fprintf(stderr, "no headless OpenGL ES 2.0 context\n");
            exit(1);
        }
        Bundle::SetPath(KESTREL_BUNDLE);
        view.setContext(surface);
        view.setFramebuffer();
        ready = true;
    }
    return view;
}

namespace {

double Seconds(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

GLuint Stage(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

GLuint Program(const char* fragment) {
    static const char* const kVertex =
        "attribute vec2 pos;\n"
        "varying vec2 vUv;\n"
        "void main() { vUv = pos * 0.5 + 0.5; gl_Position = vec4(pos, 0.0, 1.0); }\n";
    const GLuint program = glCreateProgram();
    const GLuint vs = Stage(GL_VERTEX_SHADER, kVertex), fs = Stage(GL_FRAGMENT_SHADER, fragment);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "pos");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

PassCost TimePasses(GLuint program, bool blend) {
    // One pass per flush: llvmpipe drops what a later opaque full-screen
    // triangle covers in a target without depth, so passes timed in a batch
    // would measure only the last one.
    constexpr int kRounds = 25;
    glUseProgram(program);
    glUniform4f(glGetUniformLocation(program, "color"), 0.9f, 0.8f, 0.7f, 0.6f);
    glUniform1i(glGetUniformLocation(program, "diff_map"), 0);
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    std::vector<double> finish, cpu;
    for (int round = -1; round < kRounds; ++round) {  // round -1 compiles the variant
        glFinish();
        const double wall = Seconds(CLOCK_MONOTONIC), thread = Seconds(CLOCK_THREAD_CPUTIME_ID);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glFinish();
        if (round < 0) continue;
        finish.push_back((Seconds(CLOCK_MONOTONIC) - wall) * 1000.0);
        cpu.push_back((Seconds(CLOCK_THREAD_CPUTIME_ID) - thread) * 1000.0);
    }
    glDisable(GL_BLEND);
    return {Median(finish), Median(cpu)};
}

}  // namespace

FillLimits MeasureFillLimits(int width, int height) {
    FillLimits limits;
    limits.width = width;
    limits.height = height;

    GLuint target = 0, picture = 0, framebuffer = 0, depth = 0, quad = 0;
    glActiveTexture(GL_TEXTURE0);
    const auto texture = [width, height](GLuint& name, const void* pixels) {
        name = NewClampedTexture(GL_NEAREST, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    };
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>((i * 37) ^ (i >> 9));
    texture(target, nullptr);
    texture(picture, pixels.data());
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glViewport(0, 0, width, height);
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);

    static const float kCorners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenBuffers(1, &quad);
    glBindBuffer(GL_ARRAY_BUFFER, quad);
    glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STATIC_DRAW);
    for (GLuint i = 1; i < 4; ++i) glDisableVertexAttribArray(i);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindTexture(GL_TEXTURE_2D, picture);

    const GLuint flat = Program(
        "precision mediump float;\n"
        "uniform vec4 color;\n"
        "void main() { gl_FragColor = color; }\n");
    const GLuint textured = Program(
        "precision mediump float;\n"
        "uniform sampler2D diff_map;\n"
        "uniform vec4 color;\n"
        "varying vec2 vUv;\n"
        "void main() { gl_FragColor = texture2D(diff_map, vUv) * color; }\n");
    const GLuint copied = Program(
        "precision mediump float;\n"
        "uniform sampler2D diff_map;\n"
        "varying vec2 vUv;\n"
        "void main() { gl_FragColor = texture2D(diff_map, vUv); }\n");
    limits.flat = TimePasses(flat, false);
    limits.textured = TimePasses(textured, false);
    limits.blended = TimePasses(textured, true);
    limits.copied = TimePasses(copied, false);

    glUseProgram(0);
    glDeleteProgram(flat);
    glDeleteProgram(textured);
    glDeleteProgram(copied);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &quad);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &target);
    glDeleteTextures(1, &picture);
    return limits;
}

// The show's shaders are written for OpenGL ES and carry no version line; a
// desktop context compiles them as ES shading language 1.00 only when told
// so. Armed by the counting surface alone, so every other context gets the
// sources untouched.
namespace {
bool gEsVersionLine = false;
}

extern "C" void glShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths) {
    using Real = void (*)(GLuint, GLsizei, const GLchar* const*, const GLint*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "glShaderSource"));
    if (!gEsVersionLine || count < 1) {
        real(shader, count, strings, lengths);
        return;
    }
    std::vector<const GLchar*> parts{"#version 100\n"};
    std::vector<GLint> sizes{-1};
    for (GLsizei i = 0; i < count; ++i) {
        parts.push_back(strings[i]);
        sizes.push_back(lengths ? lengths[i] : -1);
    }
    real(shader, static_cast<GLsizei>(parts.size()), parts.data(), sizes.data());
}

std::unique_ptr<DisplaySurface> CreateCountingSurface() {
    auto surface = CreateHeadlessDesktopSurface();
    if (!surface) {
        fprintf(stderr, "kestrel-bench: no fragment counts\n");
        return nullptr;
    }
    gEsVersionLine = true;
    return surface;
}
