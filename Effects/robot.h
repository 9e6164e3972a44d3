// A robot dancing on a stage, from the scene file "07_robot2.mas", seen by
// the scene's own cameras in turn. Its clock runs only while it is shown.
#pragma once

#include "Effect.h"

class robot : public Effect {
public:
    void load() override;
    // Back to the motion that load leaves; what load built stays. Only tests
    // call it, so that they do not depend on the order in which they run.
    static void Rewind();
    // Only demoTime is used.
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void RegisterState(ShowMemory& memory) override;
    bool CoversFrame() const override { return true; }

    // The animation step for a frame: the time since the last one, within [1/60, 0.05] s.
    static float Step(float demoTime, float previousDemoTime);
    // Loops the animation over 1 to 10 s of the scene's timeline.
    static float Wrap(float animationTime);
};
