// The view the show draws in: the 320 x 480 screen as a framebuffer object
// (colour texture and 16-bit depth) at the render scale, which the screen
// surface presents.
#pragma once

#include <GLES2/gl2.h>

class DisplaySurface;

class GLView {
public:
    GLView() = default;
    ~GLView() { deleteFramebuffer(); }
    GLView(const GLView&) = delete;
    GLView& operator=(const GLView&) = delete;

    void setContext(DisplaySurface* context);
    DisplaySurface* context() const { return mContext; }
    // Binds the framebuffer (made on first use) and makes it the default render
    // target; a new render scale asked for by the host is applied here, between
    // frames, remaking the framebuffer and every render target.
    void setFramebuffer();
    bool presentFramebuffer();
    // The next setFramebuffer makes a new framebuffer.
    void layoutSubviews() { deleteFramebuffer(); }

    // The screen the view is shown on; null until it is in a window.
    DisplaySurface* window = nullptr;

    int framebufferWidth = 0;
    int framebufferHeight = 0;
    GLuint defaultFramebuffer = 0;
    GLuint colorRenderbuffer = 0;  // a texture here, so the surface can scale it
    GLuint depthBuffer = 0;

private:
    void createFramebuffer();
    void deleteFramebuffer();

    DisplaySurface* mContext = nullptr;
};
