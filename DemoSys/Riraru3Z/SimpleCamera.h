// The scenes' fixed perspective (90 degrees across the 2 : 3 portrait screen)
// and a 256 x 256 target for shadow maps.
#pragma once

#include <GLES2/gl2.h>

#include "BS/Export/BS_Math.h"

class SimpleCamera {
public:
    // Ends the process when the shadow target cannot be completed.
    SimpleCamera();

    BS::Matrix44 GetProjectionMatrix() const { return mProjection; }
    GLuint GetShadowTexture() const { return mShadowTexture; }
    GLuint GetShadowFramebuffer() const { return mShadowFramebuffer; }

    static constexpr int kShadowSize = 256;

private:
    GLuint mShadowTexture = 0;
    GLuint mShadowFramebuffer = 0;
    BS::Matrix44 mMatrix;
    BS::Matrix44 mProjection;
};
