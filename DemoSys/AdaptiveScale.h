// How a host trades sharpness for pace on a slow machine: when the played
// frames cost more than their tick, the render scale falls at once to the
// largest quarter whose cost, which goes with the pixels drawn, fits (to 1 at
// the least); when a lighter stretch leaves room for the step above even at
// its larger pixel count, it steps back up a quarter. The steps are judged
// over windows of frames, and the rise asks for far more room than the fall
// leaves, so that the scale does not hop between two values. The window and
// the browser page follow the same rule.
#pragma once

#include <cstddef>

class AdaptiveScale {
public:
    // Played frames judged together.
    static constexpr int kWindow = 30;
    // Frames averaging over this many times the budget below are judged as
    // soon as this many are in: a page playing 20 frames a second and
    // judging one in four would take 6 s over a whole window.
    static constexpr double kFarTooSlow = 2.0;
    static constexpr int kQuickWindow = 6;
    // A window costing more than this share of a tick on average steps down.
    static constexpr double kTooSlow = 0.9;
    // One whose cost, grown by the scale above's pixel count, stays under
    // this share steps up.
    static constexpr double kRoomToGrow = 0.7;
    // A step up to a scale the frames were judged too slow for waits this many
    // windows (10 s): a quarter's growth is small, and the show's beat
    // sections change scenes, and with them the cost, every half second.
    static constexpr int kRetryWindows = 20;

    // Counts a played frame drawn at `scale` that kept the host busy for
    // `seconds` (waiting for the display not counted); answers the largest
    // scale the next frames may be drawn at. The first frame at a new scale
    // (the loading frame, or one that remade the render targets) is not
    // judged.
    float FramePlayed(double seconds, float scale);

    // The mean cost of the window judged last, in seconds.
    double JudgedMean() const { return mJudgedMean; }

    // For a host, after each played frame: FramePlayed for the scale the
    // frame was drawn at, its answer made the limit of the next frames'
    // (Host::LimitRenderScale). When the drawn scale changed since the frame
    // before, answers true with a line for the host's log.
    bool Judge(double seconds, char* line, size_t size);

private:
    // The largest quarter below `scale` at which frames costing `cost` at
    // `scale` would fit the budget, if their cost went with the pixels.
    static float LargestScaleWithin(double cost, float scale);

    float mTooSlowAt = 0.0f;  // the smallest scale last judged too slow
    int mRetryWait = 0;        // windows before a step up to it
    float mDrawnAt = 0.0f;
    float mLimit = 0.0f;  // 0: none yet
    float mScale = 0.0f;
    int mFrames = 0;
    double mTotal = 0.0;
    double mJudgedMean = 0.0;
};
