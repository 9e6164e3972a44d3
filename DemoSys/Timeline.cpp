#include "Timeline.h"

#include "Beats.h"

namespace {

constexpr double kSectionOrigin = kGrynEnd;  // sections A to C share one clock
constexpr float kSectionDivisor = 52.4f;

SceneCall Call(SceneId scene, double t, double origin, float divisor) {
    const float fxTime = static_cast<float>(t - origin);
    return {scene, fxTime, static_cast<float>(t), fxTime / divisor};
}

// Slot tables of the beat sections, indexed by counter modulo period.
constexpr SceneId C = SceneId::crystalGrowth;
constexpr SceneId R = SceneId::robot;
constexpr SceneId T = SceneId::tunnel;
constexpr SceneId S = SceneId::sawblade;
constexpr SceneId kSectionA[12] = {C, C, C, C, C, C, R, R, C, C, C, T};
constexpr SceneId kSectionB[12] = {T, T, T, T, C, C, T, T, T, T, R, R};
constexpr SceneId kSectionC[14] = {S, S, S, S, C, C, S, S, S, S, S, S, T, T};
constexpr SceneId kSectionD[12] = {T, T, S, S, C, C, S, S, R, R, S, S};

template <int N>
SceneId Slot(const SceneId (&table)[N], int& counter, bool bassBeat) {
    if (bassBeat) ++counter;
    return table[counter % N];
}

}  // namespace

const char* SceneName(SceneId scene) {
    static const char* const kNames[kSceneCount] = {"scene1", "particleScene", "crystalGrowth", "manetjakt",
                                                    "robot",  "tunnel",        "sawblade",      "overlay"};
    return kNames[static_cast<int>(scene)];
}

FrameScenes ScheduleScenes(double t, bool bassBeat, SectionCounters& counters) {
    FrameScenes f;
    auto add = [&f](SceneCall call) { f.calls[f.count++] = call; };
    if (t < kGrynEnd) {
        add(Call(SceneId::scene1, t, 0.0, 29.6f));
    } else if (t < 58.0) {
        add(Call(SceneId::crystalGrowth, t, kSectionOrigin, kSectionDivisor));
        add(Call(Slot(kSectionA, counters.a, bassBeat), t, kSectionOrigin, kSectionDivisor));
    } else if (t < 82.0) {
        add(Call(Slot(kSectionB, counters.b, bassBeat), t, kSectionOrigin, kSectionDivisor));
    } else if (t < 104.5) {
        add(Call(SceneId::particleScene, t, 82.0, 139.4f - 82.0f));  // progress counts up to the overlay's end
    } else if (t < 127.5) {
        add(Call(Slot(kSectionC, counters.c, bassBeat), t, kSectionOrigin, kSectionDivisor));
    } else if (t < kOverlayEnd) {
        // This window's progress is the one quotient taken in double precision,
        // over the window's length 139.4f - 127.5.
        const float fxTime = static_cast<float>(t - 127.5);
        add({SceneId::overlay, fxTime, static_cast<float>(t), static_cast<float>(fxTime / (kOverlayEnd - 127.5))});
    } else if (t < kSectionDStart) {
        add(Call(SceneId::manetjakt, t, kOverlayEnd, 105.0f));
    } else if (t < kSectionDEnd) {
        add(Call(Slot(kSectionD, counters.d, bassBeat), t, kSectionDStart, 162.4f));
    } else {
        add(Call(SceneId::manetjakt, t, kOverlayEnd, 105.0f));
    }
    return f;
}

BeatEvents BeatTracker::Advance(double t) {
    BeatEvents e;
    if (mSnareIndex < kSnareCount && snare[mSnareIndex] <= t) {
        ++mSnareIndex;
        e.snare = true;
    }
    if (mBassIndex < kBassCount && bass[mBassIndex] <= t) {
        ++mBassIndex;
        e.bass = true;
    }
    return e;
}

void FrameStatistics::Frame(double t, FILE* out) {
    if (mCounter == 20) {
        const float seconds = static_cast<float>(t - mLastTime);
        fprintf(out, "[%f DEMOTIME | %d FRAMES | %.1f SECONDS | %.1f FPS]\n", t, mTotalFrames,
                static_cast<double>(seconds), static_cast<double>(20.0f / seconds));
        mLastTime = t;
        mCounter = 0;
    }
    ++mCounter;
    ++mTotalFrames;
}
