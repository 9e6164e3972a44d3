// The beat-driven values of the post-process pass and the timed fades, kept
// apart from GL so they can be checked frame by frame.
#pragma once

#include "Timeline.h"

struct PostProcessState {
    // Flash level, a constant 20, an angle that grows per snare, a shake offset.
    float lPostFladder[4] = {0.2617994f, 20.0f, 0.0f, 0.0f};
    int mBeatCounter = 0;

    // Decays by the frame step (at least 1/60 s), then the beat reactions;
    // random() decides the direction of a shake.
    void Update(float step, BeatEvents beats, int (*random)());
};

// The colour the composite is drawn with at demo time t: white, or grey
// levels during the fades.
void FadeColour(double t, float colour[4]);
