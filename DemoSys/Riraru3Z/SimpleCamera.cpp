#include "SimpleCamera.h"

#include <cstdio>
#include <cstdlib>

#include "DemoSys/GLTexture.h"

SimpleCamera::SimpleCamera() {
    mProjection.SetFrustum(-0.6666667f, 0.6666667f, 1.0f, -1.0f, 0.6666667f, 5000.0f);

    glGenFramebuffers(1, &mShadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, mShadowFramebuffer);
    glActiveTexture(GL_TEXTURE0);
    mShadowTexture = NewClampedTexture(GL_NEAREST, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kShadowSize, kShadowSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mShadowTexture, 0);
    AttachDepthBuffer(kShadowSize, kShadowSize);

    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        printf("FRAMEBUFFER ERROR: 0x%04X\n", status);
        exit(-1);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
