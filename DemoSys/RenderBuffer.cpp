#include "RenderBuffer.h"

#include <algorithm>
#include <vector>

#include "DemoLog.h"
#include "DemoSys.h"
#include "GLTexture.h"
#include "RenderScale.h"

namespace {
// Every target alive, so that a change of render scale reaches them all.
std::vector<RenderBuffer*>& LiveTargets() {
    static std::vector<RenderBuffer*>* targets = new std::vector<RenderBuffer*>();
    return *targets;
}
}  // namespace

RenderBuffer::RenderBuffer(int width, int height, bool depth) : mWidth(width), mHeight(height) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &mFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);

    glActiveTexture(GL_TEXTURE0);
    mTexture = NewClampedTexture(GL_NEAREST, GL_NEAREST);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mTexture, 0);
    CheckGLError("framebuffer/2");
    if (depth) {
        glGenRenderbuffers(1, &mDepth);
        glBindRenderbuffer(GL_RENDERBUFFER, mDepth);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mDepth);
    }
    Allocate();
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) DemoLog("Failed to make complete framebuffer object %x", status);

    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    CheckGLError("framebuffer/3");
    LiveTargets().push_back(this);
}

RenderBuffer::~RenderBuffer() {
    std::vector<RenderBuffer*>& targets = LiveTargets();
    targets.erase(std::remove(targets.begin(), targets.end(), this), targets.end());
}

void RenderBuffer::Allocate() {
    mPixelWidth = DemoSys::ScaledPixels(mWidth);
    mPixelHeight = DemoSys::ScaledPixels(mHeight);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, mPixelWidth, mPixelHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    CheckGLError("framebuffer/1");
    if (mDepth) {
        glBindRenderbuffer(GL_RENDERBUFFER, mDepth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, mPixelWidth, mPixelHeight);
    }
}

void RenderBuffer::RemakeAll() {
    glActiveTexture(GL_TEXTURE0);
    for (RenderBuffer* target : LiveTargets()) target->Allocate();
    for (RenderBuffer* target : LiveTargets())
        if (target->mRedraw) target->mRedraw();
    DemoSys::ResetRenderTarget();
}

void RenderBuffer::BindAsRenderTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glViewport(0, 0, mPixelWidth, mPixelHeight);
}

void RenderBuffer::BindAsTexture() { glBindTexture(GL_TEXTURE_2D, mTexture); }
