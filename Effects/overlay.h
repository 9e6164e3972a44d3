// A flat picture of 500 coloured triangles over a background, morphing
// triangle by triangle from one built-in drawing into a second and then a
// third while it rocks about the screen's centre.
#pragma once

#include "Effect.h"

class Shader;
class StreamingVertexBuffer;

class overlay : public Effect {
public:
    void load() override;
    // fxTime rocks the picture, fxProgress morphs it.
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;

    static constexpr int kCorners = 1500;
    // The picture's turn: a quarter radian either way, once every pi seconds.
    static float Rock(float fxTime);
    // How far drawing 2 stands in: from drawing 1 up to all of it half-way,
    // then (drawn from drawing 3) back down to drawing 3 at the end.
    static float Blend(float fxProgress);
    // Fills the buffers with the drawing blended towards drawing 2 by b,
    // turned by angle, and enlarged 2.5 times onto the screen's -1 to 1 (it
    // overflows the edges a little).
    static void interpolateOverlay(float angle, float b, const unsigned char* vertices, const unsigned char* colors,
                                   float* positions, float* colours);

private:
    Shader* mShader = nullptr;
    float* mPositions = nullptr;  // x, y per corner
    float* mColours = nullptr;    // r, g, b, a per corner
    StreamingVertexBuffer* mVertexBuffer = nullptr;  // positions, then colours
    unsigned mBackground = 0;
};
