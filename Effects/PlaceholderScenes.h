// Scenes whose content has not landed yet: each clears to a colour of its
// own so that the cuts of the timeline can be seen and checked in pixels.
#pragma once

#include "Effect.h"

class ClearEffect : public Effect {
public:
    ClearEffect(float red, float green, float blue) : mRed(red), mGreen(green), mBlue(blue) {}
    void load() override {}
    void renderForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) override;

private:
    float mRed, mGreen, mBlue;
};

class robot : public ClearEffect {
public:
    robot() : ClearEffect(0.8f, 0.1f, 0.8f) {}
};
class tunnel : public ClearEffect {
public:
    tunnel() : ClearEffect(0.1f, 0.8f, 0.8f) {}
};
class sawblade : public ClearEffect {
public:
    sawblade() : ClearEffect(0.9f, 0.5f, 0.1f) {}
};
