// Every host's last pass: the finished screen's colour texture drawn into the
// host's default framebuffer, fitted with black bars and turned upright (or
// left portrait), by the rule of Presentation.h. One program and one quad
// buffer, made once when the host's context is current (WebGL draws from
// buffers only, so every host does); they go with that context.
#pragma once

#include <GLES2/gl2.h>

#include "PlayerBar.h"
#include "Presentation.h"

class UprightBlit {
public:
    explicit UprightBlit(bool upright);
    UprightBlit(const UprightBlit&) = delete;
    UprightBlit& operator=(const UprightBlit&) = delete;

    // Draws the texture into the host's framebuffer (0 for a window or a
    // canvas) of the drawable's size. The state the demo draws with is
    // restored (program, framebuffer, viewport, the active unit and unit 0's
    // texture, the array buffer, whether arrays 0 and 1 are on, depth test,
    // blending, culling); the clear colour and the pointers of arrays 0 and 1
    // are left, since every scene sets them before it draws.
    // With the bar shown, the player's bar at the show's time goes over the picture.
    void Draw(GLuint colourTexture, Presentation::Size drawable, GLuint framebuffer);
    void ShowBar(bool shown) { mBarShown = shown; }
    // The texture drawn last, for a paused show's picture; 0 before any.
    GLuint LastTexture() const { return mLastTexture; }

private:
    void DrawBar(double showTime, Presentation::Rect fitted);

    const bool mUpright;
    const GLuint mProgram;
    const GLuint mQuad;
    // Made on the first bar drawn: a program of one colour and the bar's triangles.
    bool mBarShown = false;
    GLuint mLastTexture = 0;
    GLuint mBarProgram = 0;
    GLuint mBarBuffer = 0;
    PlayerBar::Shapes mShapes;
    float mVertices[(PlayerBar::kMostCells + 3) * 12];
};
