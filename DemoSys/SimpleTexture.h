// A texture name held by the scene-graph and animation importers.
#pragma once

#include <GLES2/gl2.h>

class SimpleTexture {
public:
    SimpleTexture() = default;
    explicit SimpleTexture(GLuint texture) : mTexture(texture) {}

    GLuint mTexture = static_cast<GLuint>(-1);  // -1: none
};
