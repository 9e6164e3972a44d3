// A camera flying round a ring-shaped tunnel of chrome frames, from the scene
// file "shadow.mas", with a stream of golden sparks circling the ring inside
// its dark corridor. It advances by fixed steps per frame, so it goes on where
// it stopped at a cut.
#pragma once

#include "Effect.h"

struct Particle;

class tunnel : public Effect {
public:
    void load() override;
    // Back to the motion that load leaves; what load built (the particle pool
    // too) stays as it is. Only tests call it, so that they do not depend on
    // the order in which they run.
    static void Rewind();
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void RegisterState(ShowMemory& memory) override;
    bool CoversFrame() const override { return true; }

    // A spark born on the wide ring round the vertical axis.
    static Particle Spark();
};
