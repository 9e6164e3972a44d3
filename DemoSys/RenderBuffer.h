// An offscreen colour texture, with an optional 16-bit depth buffer, that can
// be bound as render target or as texture. Its size is logical: the pixels
// behind it follow the render scale, and a change of scale remakes every live
// target in place (same GL names, contents lost, a redraw hook refilling what
// is drawn only once). Destroying one releases no GL object: render targets
// live as long as the show.
#pragma once

#include <GLES2/gl2.h>

class RenderBuffer {
public:
    RenderBuffer(int width, int height, bool depth);
    ~RenderBuffer();
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;

    void BindAsRenderTarget();
    // Binds the colour texture on the active texture unit.
    void BindAsTexture();
    // Called again after every remake, for content drawn only once.
    void SetRedraw(void (*redraw)()) { mRedraw = redraw; }

    GLuint GetTexture() const { return mTexture; }
    GLuint GetFramebuffer() const { return mFramebuffer; }
    // Pixel sizes at the render scale the target was last made at.
    int GetWidth() const { return mPixelWidth; }
    int GetHeight() const { return mPixelHeight; }

    // Remakes every live target at the current render scale, then redraws
    // those with a hook; the default render target is bound afterwards.
    static void RemakeAll();

private:
    void Allocate();

    GLuint mTexture = 0;
    GLuint mFramebuffer = 0;
    GLuint mDepth = 0;
    int mWidth;
    int mHeight;
    int mPixelWidth = 0;
    int mPixelHeight = 0;
    void (*mRedraw)() = nullptr;
};
