#include "UprightBlit.h"

#include "Host.h"

namespace {

// The corners' texture coordinates carry the turn; the frame's own size does
// not matter to the quad.
const char* const kVertexSource =
    "attribute vec2 pos;\n"
    "attribute vec2 uv;\n"
    "varying vec2 vUv;\n"
    "void main() { vUv = uv; gl_Position = vec4(pos, 0.0, 1.0); }\n";
const char* const kFragmentSource =
    "precision mediump float;\n"
    "uniform sampler2D frame;\n"
    "varying vec2 vUv;\n"
    "void main() { gl_FragColor = texture2D(frame, vUv); }\n";
const char* const kBarVertexSource =
    "attribute vec2 pos;\n"
    "void main() { gl_Position = vec4(pos, 0.0, 1.0); }\n";
const char* const kBarFragmentSource =
    "precision mediump float;\n"
    "uniform vec4 colour;\n"
    "void main() { gl_FragColor = colour; }\n";
const float kBandColour[4] = {0.0f, 0.0f, 0.0f, 0.6f};
const float kTrackColour[4] = {1.0f, 1.0f, 1.0f, 0.3f};
const float kBrightColour[4] = {1.0f, 1.0f, 1.0f, 0.9f};

GLuint CompileStage(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The draw state the pass changes, as it was before.
struct SavedState {
    GLint program = 0, framebuffer = 0, activeUnit = 0, texture = 0, buffer = 0, viewport[4] = {};
    GLint arrays[2] = {};
    GLboolean depth = glIsEnabled(GL_DEPTH_TEST), blend = glIsEnabled(GL_BLEND), cull = glIsEnabled(GL_CULL_FACE);

    SavedState() {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (GLuint i = 0; i < 2; ++i) glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &arrays[i]);
    }
    ~SavedState() {
        glUseProgram(static_cast<GLuint>(program));
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glActiveTexture(static_cast<GLenum>(activeUnit));
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        for (GLuint i = 0; i < 2; ++i) {
            if (arrays[i]) glEnableVertexAttribArray(i);
            else glDisableVertexAttribArray(i);
        }
        if (depth) glEnable(GL_DEPTH_TEST);
        if (blend) glEnable(GL_BLEND);
        if (cull) glEnable(GL_CULL_FACE);
    }
};

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource) {
    const GLuint vs = CompileStage(GL_VERTEX_SHADER, vertexSource);
    const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, fragmentSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "pos");
    glBindAttribLocation(program, 1, "uv");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

// Corners and their texture coordinates, interleaved.
GLuint MakeQuad(bool upright) {
    float texCoords[8];
    Presentation::CornerTexCoords(upright, texCoords);
    static const float kCorners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    float quad[16];
    for (int i = 0; i < 4; ++i) {
        quad[4 * i] = kCorners[2 * i];
        quad[4 * i + 1] = kCorners[2 * i + 1];
        quad[4 * i + 2] = texCoords[2 * i];
        quad[4 * i + 3] = texCoords[2 * i + 1];
    }
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(bound));
    return buffer;
}

// Two triangles of a box, appended as x, y pairs: answers the next free place.
float* AppendBox(const PlayerBar::Box& box, float* out) {
    const float corners[12] = {box.x0, box.y0, box.x1, box.y0, box.x0, box.y1,
                               box.x1, box.y0, box.x1, box.y1, box.x0, box.y1};
    for (float value : corners) *out++ = value;
    return out;
}

}  // namespace

UprightBlit::UprightBlit(bool upright)
    : mUpright(upright), mProgram(LinkProgram(kVertexSource, kFragmentSource)), mQuad(MakeQuad(upright)) {}


void UprightBlit::DrawBar(double showTime, Presentation::Rect fitted) {
    if (mBarProgram == 0) {
        mBarProgram = LinkProgram(kBarVertexSource, kBarFragmentSource);
        glGenBuffers(1, &mBarBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, mBarBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof mVertices, nullptr, GL_DYNAMIC_DRAW);
    }
    PlayerBar::Layout(showTime, {fitted.width, fitted.height}, mShapes);
    float* end = AppendBox(mShapes.band, mVertices);
    end = AppendBox(mShapes.track, end);
    end = AppendBox(mShapes.fill, end);
    for (int i = 0; i < mShapes.cellCount; ++i) end = AppendBox(mShapes.cells[i], end);
    const GLsizei corners = static_cast<GLsizei>((end - mVertices) / 2);

    glUseProgram(mBarProgram);
    glBindBuffer(GL_ARRAY_BUFFER, mBarBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>((end - mVertices) * sizeof(float)), mVertices);
    glDisableVertexAttribArray(1);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    // The demo's frames rely on the blend function they last set.
    GLint blend[4];
    glGetIntegerv(GL_BLEND_SRC_RGB, &blend[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &blend[1]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &blend[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &blend[3]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const GLint colour = glGetUniformLocation(mBarProgram, "colour");
    glUniform4fv(colour, 1, kBandColour);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glUniform4fv(colour, 1, kTrackColour);
    glDrawArrays(GL_TRIANGLES, 6, 6);
    glUniform4fv(colour, 1, kBrightColour);
    glDrawArrays(GL_TRIANGLES, 12, corners - 12);
    glBlendFuncSeparate(static_cast<GLenum>(blend[0]), static_cast<GLenum>(blend[1]), static_cast<GLenum>(blend[2]),
                        static_cast<GLenum>(blend[3]));
    glDisable(GL_BLEND);
}

void UprightBlit::Draw(GLuint colourTexture, Presentation::Size drawable, GLuint framebuffer) {
    const SavedState saved;
    mLastTexture = colourTexture;
    const Presentation::Rect fitted = Presentation::FitPicture(drawable, mUpright);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // The bars: a clear covers the whole drawable whatever the viewport.
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
    glEnableVertexAttribArray(1);
    const GLsizei stride = 4 * sizeof(float);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (mBarShown) DrawBar(Host::ShowTime(), fitted);
}
