// The texture and depth-buffer set-up that render targets, the view and the
// texture loaders share.
#pragma once

#include <GLES2/gl2.h>

// A new texture bound on the active unit, clamped on both axes, with these filters.
GLuint NewClampedTexture(GLint minFilter, GLint magFilter);
// A 16-bit depth renderbuffer attached to the bound framebuffer.
GLuint AttachDepthBuffer(int width, int height);
