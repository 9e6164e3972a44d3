// The show's schedule as pure functions of the demo clock and the beats, so
// that which scene plays with which times is decided without GL.
#pragma once

#include <cstdio>

enum class SceneId { scene1, particleScene, crystalGrowth, manetjakt, robot, tunnel, sawblade, overlay };
constexpr int kSceneCount = 8;
// The scene class's name.
const char* SceneName(SceneId scene);

struct SceneCall {
    SceneId scene;
    float fxTime;
    float demoTime;
    float fxProgress;
};

struct FrameScenes {
    int count = 0;
    SceneCall calls[2];
};

// The window boundaries that are single-precision decimals, compared as doubles.
constexpr double kGrynEnd = static_cast<double>(29.6f);
constexpr double kOverlayEnd = static_cast<double>(139.4f);
constexpr double kSectionDStart = static_cast<double>(148.4f);
constexpr double kSectionDEnd = static_cast<double>(162.4f);
constexpr double kShowEnd = 185.0;

// Bass-beat counters of the four beat sections; each only moves while its
// window plays and keeps its value afterwards.
struct SectionCounters {
    int a = 0, b = 0, c = 0, d = 0;
};

// The scene objects for demo time t (below kShowEnd) and their arguments.
FrameScenes ScheduleScenes(double t, bool bassBeat, SectionCounters& counters);

struct BeatEvents {
    bool snare = false;
    bool bass = false;
};

// Turns the beat tables into at most one beat of each kind per frame, so a
// backlog is worked off one beat per frame.
class BeatTracker {
public:
    BeatEvents Advance(double t);
    int SnareIndex() const { return mSnareIndex; }
    int BassIndex() const { return mBassIndex; }

private:
    int mSnareIndex = 0;
    int mBassIndex = 0;
};

// The statistics line every 20 frames: "[t DEMOTIME | n FRAMES | s SECONDS | fps FPS]".
class FrameStatistics {
public:
    // Prints the line when one is due for the frame at t, then counts the frame.
    void Frame(double t, FILE* out);
    // Counts the next lines' seconds from t, where a seek took the show.
    void Restart(double t) {
        mCounter = 0;
        mLastTime = t;
    }

private:
    int mCounter = 0;
    int mTotalFrames = 0;
    double mLastTime = 0.0;
};
