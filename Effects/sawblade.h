// A spinning saw blade from the scene file "sawblade.mas" before a flat
// background, seen by a drifting camera that the snare and bass beats kick
// to new angles, with three jets of golden sparks.
#pragma once

#include "BS/Export/BS_Math.h"
#include "Effect.h"

struct Particle;

class sawblade : public Effect {
public:
    void load() override;
    // Back to the motion that load leaves; what load built (the particle pool
    // too) stays as it is. Only tests call it, so that they do not depend on
    // the order in which they run.
    static void Rewind();
    // demoTime drives the beat kicks.
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void RegisterState(ShowMemory& memory) override;

    // A spark from emitter 0, 1 or 2, at the given height above the blade's circle;
    // at load the emitter is drawn from rand() (pass -1).
    static Particle Spark(int emitter, float height);
    // The camera's transform: 220 +- 50 away as phase 1 turns, tilted and
    // rolled by up to 0.25 as phases 2 and 3 turn, turned by the yaw.
    static BS::Matrix44 View(float phase1, float phase2, float phase3, float yaw);
    // Loops the scene between 1.2 and 4.2 s.
    static float Wrap(float animationTime) { return animationTime > 4.2f ? animationTime - 3.0f : animationTime; }
};
