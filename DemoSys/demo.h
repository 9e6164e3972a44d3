// The show's timeline: loads everything in the first refresh, then plays one
// frame per call from the demo clock.
#pragma once

class GLView;

class demo {
public:
    void demoload(GLView* view);
    // The frame number is not used; the clock alone decides.
    void demoplayback(int frame);

    bool mFirstFrame = true;
    double mBaseTime = 0.0;
};
