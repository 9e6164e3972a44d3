#include "RenderBuffer.h"

#include "GLTexture.h"

#include "DemoLog.h"

RenderBuffer::RenderBuffer(int width, int height, bool depth) : mWidth(width), mHeight(height) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &mFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);

    glActiveTexture(GL_TEXTURE0);
    mTexture = NewClampedTexture(GL_NEAREST, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    CheckGLError("framebuffer/1");

    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mTexture, 0);
    CheckGLError("framebuffer/2");

    if (depth) AttachDepthBuffer(width, height);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) DemoLog("Failed to make complete framebuffer object %x", status);

    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    CheckGLError("framebuffer/3");
}

void RenderBuffer::BindAsRenderTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glViewport(0, 0, mWidth, mHeight);
}

void RenderBuffer::BindAsTexture() { glBindTexture(GL_TEXTURE_2D, mTexture); }
