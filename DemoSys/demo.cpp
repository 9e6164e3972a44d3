#include "demo.h"

#include <GLES2/gl2.h>

#include <cstdlib>

#include "DemoSys.h"
#include "Linux/Source/PlatformClock.h"

namespace {
constexpr double kShowLength = 185.0;
}

void demo::demoload(GLView* view) { DemoSys::Init(view); }

void demo::demoplayback(int) {
    const double now = PlatformClock::Now();
    if (mFirstFrame) {
        mBaseTime = now;
        mFirstFrame = false;
    }
    const double t = now - mBaseTime;
    if (t >= kShowLength) exit(0);
    // The scenes are not in the timeline yet: a slow colour sweep shows the clock running.
    const float phase = static_cast<float>(t / kShowLength);
    glClearColor(phase, 0.2f, 1.0f - phase, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
