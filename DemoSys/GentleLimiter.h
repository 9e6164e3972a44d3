// The gentle mode's hold on brightness. A viewer sensitive to flashing
// lights is harmed by the picture turning bright and back, again and again,
// more than three times a second; a rise that the picture has not yet kept
// for half a second is held to a little above the darkest it was in that
// time, while a fall is never held. A beat then still lifts the picture, and
// a cut still changes it, but two bright turns are at least half a second
// apart. Kept for each cell of a 4 x 4 grid over the screen, so that a flash
// over part of the picture is held where it is.
#pragma once

namespace Gentle {

inline constexpr int kCells = 16;
// Frames of the show's 1/60 s ticks a rise waits for: a seek draws as many
// before the frame it goes to, so that the hold is the whole run's.
inline constexpr int kMemory = 30;
// How far above its darkest a cell may be lit: a beat stays visible, below
// the change of 0.1 in relative luminance that makes a flash.
inline constexpr float kLift = 0.07f;

struct Limiter {
    // Each cell's mean relative luminance, on the last kMemory frames measured.
    float levels[kMemory][kCells] = {};
    int next = 0;
    bool primed = false;  // the levels are this run's; false: none measured yet

    // Takes a frame's levels; answers the factor on each cell's light, at
    // most 1, that holds it.
    void Follow(const float level[kCells], float gain[kCells]);
    // Turned off, the levels go stale: the next frame starts afresh.
    void Forget() { primed = false; }
};

}  // namespace Gentle
