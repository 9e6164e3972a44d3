// Process-wide 2D drawing: the shared 2D shader, the default render target
// that scenes return to, and textured rectangles in a 480 x 320 landscape
// space (origin top left, y down) that an angle of pi/2 turns onto the
// 320 x 480 portrait screen.
#pragma once

#include <GLES2/gl2.h>

class Shader;
class GLView;

namespace DemoSys {

// The colour of every unshaded full-screen draw.
inline constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void Init(GLView* view);
void SetDefaultRenderTarget(GLuint framebuffer);
GLuint GetDefaultRenderTarget();
// Binds the default target with the 320 x 480 screen's viewport at the render scale.
void ResetRenderTarget();

// Draws with the shared 2D shader and the texture bound on unit 0 (a white
// quad with a shader that only copies the texture: the same picture).
void DrawRect(float x, float y, float width, float height, float angle, const float colour[4]);
// Draws with a shader the caller has bound; "color" and "diff_map" are set
// only when the shader has them.
void DrawRectWithShader(Shader* shader, float x, float y, float width, float height, float angle,
                        const float colour[4]);

extern Shader* mShader2D;
extern bool mInited;
extern GLuint mDefaultRenderTarget;

}  // namespace DemoSys
