// An offscreen colour texture, with an optional 16-bit depth buffer, that can
// be bound as render target or as texture. Destroying it releases nothing:
// render targets live as long as the show.
#pragma once

#include <GLES2/gl2.h>

class RenderBuffer {
public:
    RenderBuffer(int width, int height, bool depth);

    void BindAsRenderTarget();
    // Binds the colour texture on the active texture unit.
    void BindAsTexture();

    GLuint GetTexture() const { return mTexture; }
    GLuint GetFramebuffer() const { return mFramebuffer; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }

private:
    GLuint mTexture = 0;
    GLuint mFramebuffer = 0;
    int mWidth;
    int mHeight;
};
