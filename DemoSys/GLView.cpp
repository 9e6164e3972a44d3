#include "GLView.h"

#include "GLTexture.h"

#include "DemoLog.h"
#include "DemoSys.h"
#include "Host.h"
#include "RenderBuffer.h"
#include "RenderScale.h"

void GLView::setContext(DisplaySurface* context) {
    if (context == mContext) return;
    deleteFramebuffer();
    mContext = context;
}

void GLView::createFramebuffer() {
    if (!mContext || defaultFramebuffer) return;
    mContext->MakeCurrent();
    framebufferWidth = DemoSys::ScaledPixels(DisplaySurface::kScreenWidth);
    framebufferHeight = DemoSys::ScaledPixels(DisplaySurface::kScreenHeight);

    glGenFramebuffers(1, &defaultFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebuffer);

    colorRenderbuffer = NewClampedTexture(GL_LINEAR, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, framebufferWidth, framebufferHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorRenderbuffer, 0);

    depthBuffer = AttachDepthBuffer(framebufferWidth, framebufferHeight);
    CheckGLError("depth");

    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) DemoLog("Failed to make complete framebuffer object %x", status);
}

void GLView::deleteFramebuffer() {
    if (!mContext) return;
    mContext->MakeCurrent();
    if (defaultFramebuffer) glDeleteFramebuffers(1, &defaultFramebuffer);
    if (colorRenderbuffer) glDeleteTextures(1, &colorRenderbuffer);
    if (depthBuffer) glDeleteRenderbuffers(1, &depthBuffer);
    defaultFramebuffer = colorRenderbuffer = depthBuffer = 0;
}

void GLView::setFramebuffer() {
    if (!mContext) return;
    mContext->MakeCurrent();
    const bool rescaled = DemoSys::ApplyRenderScale();
    if (rescaled) deleteFramebuffer();
    createFramebuffer();
    DemoSys::SetDefaultRenderTarget(defaultFramebuffer);
    // Targets redrawn on a remake return to the new screen framebuffer.
    if (rescaled) RenderBuffer::RemakeAll();
    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebuffer);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
}

bool GLView::presentFramebuffer() {
    if (!mContext) return false;
    mContext->MakeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebuffer);
    return mContext->Present(colorRenderbuffer, framebufferWidth, framebufferHeight);
}
