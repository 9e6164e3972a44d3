#include "GentlePass.h"

#include <cmath>

#include "Bundle.h"
#include "DemoLog.h"
#include "DemoSys.h"
#include "GLTexture.h"
#include "RenderBuffer.h"
#include "ShowMemory.h"
#include "Riraru3Z/Shader.h"

namespace Gentle {

namespace {

constexpr int kGrid = 4;  // cells along each side: kCells in all
// The gain is applied to the picture's stored values, whose light grows
// about as their power of 2.2.
constexpr float kStoredPower = 1.0f / 2.2f;

struct Pass {
    RenderBuffer* picture = nullptr;
    GLuint cellTarget = 0;  // kGrid x kGrid, each pixel a cell's mean luminance
    GLuint cellTexture = 0;
    GLuint gainTexture = 0;  // kGrid x kGrid, filtered across the cells
    Shader* measure = nullptr;
    Shader* lighten = nullptr;
    GLint gainMap = -1;
    GLuint screenTarget = 0;
};
Pass gPass;
Limiter gLimiter;

GLuint NewCellTexture(GLint filter, GLenum format) {
    const GLuint texture = NewClampedTexture(filter, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, format, kGrid, kGrid, 0, format, GL_UNSIGNED_BYTE, nullptr);
    return texture;
}

// The picture's quad as the composite draws the offscreen one: the same rows.
void DrawPicture(Shader* shader) {
    glActiveTexture(GL_TEXTURE0);
    gPass.picture->BindAsTexture();
    shader->BindShader();
    DemoSys::DrawRectWithShader(shader, 0.0f, 320.0f, 480.0f, -320.0f, 0.0f, DemoSys::kWhite);
}

void MeasureCells(float level[kCells]) {
    glBindFramebuffer(GL_FRAMEBUFFER, gPass.cellTarget);
    glViewport(0, 0, kGrid, kGrid);
    DrawPicture(gPass.measure);
    unsigned char rgba[kCells * 4];
    glReadPixels(0, 0, kGrid, kGrid, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    for (int c = 0; c < kCells; ++c) level[c] = rgba[4 * c] / 255.0f;
}

void SetGains(const float gain[kCells]) {
    unsigned char stored[kCells];
    for (int c = 0; c < kCells; ++c) stored[c] = static_cast<unsigned char>(std::lround(255.0f * std::pow(gain[c], kStoredPower)));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gPass.gainTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kGrid, kGrid, GL_LUMINANCE, GL_UNSIGNED_BYTE, stored);
    glActiveTexture(GL_TEXTURE0);
}

}  // namespace

void Load(ShowMemory& memory) {
    memory.Add(gLimiter);
    gPass.picture = new RenderBuffer(320, 480, false);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glActiveTexture(GL_TEXTURE0);
    gPass.cellTexture = NewCellTexture(GL_NEAREST, GL_RGBA);
    glGenFramebuffers(1, &gPass.cellTarget);
    glBindFramebuffer(GL_FRAMEBUFFER, gPass.cellTarget);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, gPass.cellTexture, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    gPass.gainTexture = NewCellTexture(GL_LINEAR, GL_LUMINANCE);
    gPass.measure = Shader::LoadShader(Bundle::Path() + "/FxData/Common/GentleMeasure");
    gPass.lighten = Shader::LoadShader(Bundle::Path() + "/FxData/Common/GentleLight");
    gPass.gainMap = glGetUniformLocation(gPass.lighten->GetProgram(), "gain_map");
    CheckGLError("GENTLE");
}

void BeginPicture() {
    gPass.screenTarget = DemoSys::GetDefaultRenderTarget();
    DemoSys::SetDefaultRenderTarget(gPass.picture->GetFramebuffer());
}

void FinishPicture() {
    DemoSys::SetDefaultRenderTarget(gPass.screenTarget);
    float level[kCells];
    float gain[kCells];
    MeasureCells(level);
    gLimiter.Follow(level, gain);
    SetGains(gain);
    DemoSys::ResetRenderTarget();
    gPass.lighten->BindShader();
    glUniform1i(gPass.gainMap, 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, gPass.gainTexture);
    DrawPicture(gPass.lighten);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    CheckGLError("AFTER GENTLE");
}

void Forget() { gLimiter.Forget(); }

}  // namespace Gentle
