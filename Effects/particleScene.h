// 12,000 particles drift in a force field, are drawn together by springs into
// a figure, held, and released to fade, behind an environment-mapped skull
// with a moving jaw that slides across the foreground reflecting them.
#pragma once

#include "Effect.h"

class RenderBuffer;
class SimpleModel;

class particleScene : public Effect {
public:
    void load() override;
    // Back to the motion that load leaves; what load built (the particle pool
    // too) stays as it is. Only tests call it, so that they do not depend on
    // the order in which they run.
    static void Rewind();
    // Only fxTime is used.
    void renderForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;

    // The spring that forms the figure (4 to 10 s), holds it, and lets go after 12 s.
    static float SpringStrength(float t);
    // The scrolling background's grey level: up to full at 10 s, down to black
    // at 20 s, and black after that rather than the root of a negative sine.
    static float BackgroundLevel(float t);

private:
    SimpleModel* mHead = nullptr;
    SimpleModel* mJaw = nullptr;
    RenderBuffer* mRenderBuffer = nullptr;
};
