#include "DemoSys.h"

#include <cstddef>

#include "BS/Export/BS_Math.h"
#include "Bundle.h"
#include "DemoLog.h"
#include "Host.h"
#include "RenderScale.h"
#include "Riraru3Z/Shader.h"
#include "Riraru3Z/StreamingVertexBuffer.h"

namespace DemoSys {

Shader* mShader2D = nullptr;
bool mInited = false;
GLuint mDefaultRenderTarget = 0;

namespace {

Shader* mShaderCopy2D = nullptr;  // Init sets it, with mShader2D
constexpr float kVirtualWidth = 480.0f;
constexpr float kVirtualHeight = 320.0f;

struct Quad {
    float positions[12];
    float uvs[12];
};

// Made with the first quad, at load (the loading picture), for the whole show.
const StreamingVertexBuffer& QuadBuffer() {
    static const StreamingVertexBuffer* buffer = new StreamingVertexBuffer(sizeof(Quad));
    return *buffer;
}

// Two triangles in normalised device coordinates, texture row 0 along the
// rectangle's top edge, turned about the screen centre by angle.
void BuildQuad(float x, float y, float width, float height, float angle, Quad& quad) {
    const float left = 2.0f * x / kVirtualWidth - 1.0f;
    const float right = left + 2.0f * width / kVirtualWidth;
    const float top = 1.0f - 2.0f * y / kVirtualHeight;
    const float bottom = top - 2.0f * height / kVirtualHeight;
    const float corners[12] = {right, bottom, left, bottom, left, top, right, bottom, left, top, right, top};
    static const float kUvs[12] = {1, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    BS::Matrix44 rotation;
    rotation.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), angle);
    for (int i = 0; i < 6; ++i) {
        const BS::Vector3 p = rotation.TransformPoint(BS::Vector3(corners[2 * i], corners[2 * i + 1], 0.0f));
        quad.positions[2 * i] = p.x;
        quad.positions[2 * i + 1] = p.y;
        quad.uvs[2 * i] = kUvs[2 * i];
        quad.uvs[2 * i + 1] = kUvs[2 * i + 1];
    }
}

void PrepareQuadState() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
}

void DrawQuad(const Quad& quad, GLint colourLocation, GLint samplerLocation, const float colour[4]) {
    QuadBuffer().Stream(&quad, sizeof quad);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, StreamingVertexBuffer::At(offsetof(Quad, positions)));
    CheckGLError("DrawRect/1");
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 0, StreamingVertexBuffer::At(offsetof(Quad, uvs)));
    CheckGLError("DrawRect/2");
    if (colourLocation >= 0) glUniform4fv(colourLocation, 1, colour);
    if (samplerLocation >= 0) glUniform1i(samplerLocation, 0);
    CheckGLError("DrawRect/3");
    glDrawArrays(GL_TRIANGLES, 0, 6);
    CheckGLError("DrawRect/4");
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(2);
    StreamingVertexBuffer::Unbind();
}

}  // namespace

void Init(GLView*) {
    if (mInited) return;
    mShader2D = Shader::LoadShader(Bundle::Path() + "/FxData/Common/Generic2D");
    mShaderCopy2D = Shader::LoadShader(Bundle::Path() + "/FxData/Common/Copy2D");
    if (mShaderCopy2D->GetProgram() == 0) mShaderCopy2D = mShader2D;
    mInited = true;
}

void SetDefaultRenderTarget(GLuint framebuffer) { mDefaultRenderTarget = framebuffer; }

GLuint GetDefaultRenderTarget() { return mDefaultRenderTarget; }

void ResetRenderTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, mDefaultRenderTarget);
    glViewport(0, 0, ScaledPixels(DisplaySurface::kScreenWidth), ScaledPixels(DisplaySurface::kScreenHeight));
}

void DrawRect(float x, float y, float width, float height, float angle, const float colour[4]) {
    if (!mShader2D) return;  // nothing to draw with before Init
    // White leaves the picture as it is; the copy shader draws it for less.
    const bool white = colour[0] == 1.0f && colour[1] == 1.0f && colour[2] == 1.0f && colour[3] == 1.0f;
    Shader* shader = white ? mShaderCopy2D : mShader2D;
    PrepareQuadState();
    shader->BindShader();
    CheckGLError("DrawRect: init");
    Quad quad;
    BuildQuad(x, y, width, height, angle, quad);
    DrawQuad(quad, shader->GetUniformColor(), shader->GetUniformDiffuseMap(), colour);
}

void DrawRectWithShader(Shader* shader, float x, float y, float width, float height, float angle,
                        const float colour[4]) {
    PrepareQuadState();
    Quad quad;
    BuildQuad(x, y, width, height, angle, quad);
    DrawQuad(quad, shader->GetUniformColor(), shader->GetUniformDiffuseMap(), colour);
}

}  // namespace DemoSys
