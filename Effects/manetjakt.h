// A pulsating jellyfish in a stream of bluish particles rushing towards the
// viewer; the camera tilts on every snare, and at the end the credits scroll
// up over everything.
#pragma once

#include "BS/Export/BS_Math.h"
#include "Effect.h"

struct Particle;

class manetjakt : public Effect {
public:
    void load() override;
    // Back to the motion that load leaves; what load built (the particle pool
    // too) stays as it is. Only tests call it, so that they do not depend on
    // the order in which they run.
    static void Rewind();
    // demoTime drives camera, jellyfish and scroller; fxTime the particle step.
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void RegisterState(ShowMemory& memory) override;

    // Rings of the body swell and contract in a wave along its length.
    void animateManet(float time);

    // A stream particle: made at load anywhere in the stream, while playing at its far end.
    static Particle StreamParticle(bool atLoad);
    // The view at demo time t: turned about x by the square of the snares
    // passed, onto the portrait screen, tilted by a radian, 150 back.
    static BS::Matrix44 View(float t);
};
