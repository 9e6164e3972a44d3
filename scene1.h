// The opening: a pulsing heart ball in a wire sphere, small balls that gather
// on the sphere and fly apart, a cut to a solid sphere, a flash, and the ball
// shattering into 18 spinning shards. A function of the demo clock, which
// stutters in a few short glitch windows.
#pragma once

#include "Effects/Effect.h"

class scene1 : public Effect {
public:
    void load() override;
    // Only demoTime is used: the scene plays from demo time 0. Advancing
    // takes the frame's clock through the glitch windows (drawing from rand()).
    void advanceForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;
    void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;

    // The clock after the glitch windows; draws from rand() inside one.
    static float SpooledTime(float t);
};
