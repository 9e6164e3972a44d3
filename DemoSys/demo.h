// The show's timeline: loads everything in the first refresh, then plays one
// frame per call from the demo clock.
#pragma once

#include "Timeline.h"

class GLView;
class Effect;

class demo {
public:
    void demoload(GLView* view);
    // The frame number is not used; the clock alone decides.
    void demoplayback(int frame);

    // The scene calls of the last frame played (for measurements).
    const FrameScenes& LastScenes() const { return mLastScenes; }
    // Whether the last frame played was drawn (a frame nobody sees is not).
    bool LastFrameDrawn() const { return mDrawn; }
    // The show time the next frame plays at, if played now.
    double NextFrameTime() const;

    bool mFirstFrame = true;
    double mBaseTime = 0.0;  // clock reading of the first played frame

private:
    FrameScenes mLastScenes;
    bool mDrawn = false;
};

// The scene objects, created and loaded in this order.
extern Effect* effect1;    // scene1
extern Effect* effect2;    // particleScene
extern Effect* effect3;    // crystalGrowth
extern Effect* effect4;    // manetjakt
extern Effect* effect5;    // robot
extern Effect* effect6;    // tunnel
extern Effect* effect8;    // sawblade
extern Effect* overlayFx;  // overlay
