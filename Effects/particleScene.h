// 12,000 particles drift in a force field, are drawn together by springs into
// a figure, held, and released to fade, behind an environment-mapped skull
// with a moving jaw that slides across the foreground reflecting them.
#pragma once

#include "BS/Export/BS_Math.h"
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
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void RegisterState(ShowMemory& memory) override;
    // The render buffer is never cleared, and from 22 s on the background
    // leaves its top rows uncovered: the particles drawn there stay.
    bool KeepsPixels(float fxTime) const override;

    // The spring that forms the figure (4 to 10 s), holds it, and lets go after 12 s.
    static float SpringStrength(float t);
    // The scrolling background's grey level: up to full at 10 s, down to black
    // at 20 s, and black after that rather than the root of a negative sine.
    static float BackgroundLevel(float t);
    // Where the background's 720-high picture starts: 400 below the screen's
    // edge, moving 200 every 11 s.
    static float BackgroundScroll(float t);
    // The particles' view: tilted by pi/4 at first and level at 12 s,
    // swinging round slowly, with the figure 25 ahead and 10 up.
    static BS::Matrix44 Camera(float t);
    // Where the skull stands: turned onto the portrait screen, rocking and
    // swaying as it slides across it, from x = 180 to -180 in 22 s.
    static BS::Matrix44 HeadPlacement(float t);
    // The turn about x that pulses with sin^2(2t), up to depth radians: the
    // skull nods by 0.025, the jaw drops by -0.15.
    static BS::Matrix44 Nod(float t, float depth);

private:
    SimpleModel* mHead = nullptr;
    SimpleModel* mJaw = nullptr;
    RenderBuffer* mRenderBuffer = nullptr;
};
