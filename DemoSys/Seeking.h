// Which frames a seek plays without drawing. The scenes step their particles
// and clocks by frame, so a moment of the show is the sum of every frame
// before it: a seek plays the frames of a whole run on the fixed clock of 60,
// one per 1/60 s tick, from a kept moment up to the target.
#pragma once

#include "Host.h"
#include "ShowMemory.h"

namespace Seeking {

inline constexpr double kTicksPerSecond = 60.0;
// Times this close are one moment: a clock's readings and the ticks are
// both sums and quotients of rounded fractions.
inline constexpr double kSameMoment = 1e-6;

// The tick's show time, computed as the fixed clock of 60 computes a frame's.
inline double TickTime(long long tick) { return static_cast<double>(tick) / kTicksPerSecond; }

// The ticks a seek plays before the frame at target, after a frame played
// at `after` (negative before any): first up to, not including, end.
struct Ticks {
    long long first = 0;
    long long end = 0;
};
Ticks TicksBetween(double after, double target);

// How far the player's back and forward keys take the show.
inline constexpr double kPlayerStep = 5.0;
// Applies the player's keys (pause or resume, to the start, then by
// seconds) through the demo's controls: answers whether the show was sent
// elsewhere.
bool FollowPlayer(const SurfaceEvents& events);

// What a host keeps of the player's keys from refresh to refresh, the same
// in the window and the page: when the time line shows, and whether a
// paused show owes the frame a seek took it to.
class PlayerControls {
public:
    // How long the time line stays after a key.
    static constexpr double kTimeLineSeconds = 2.0;

    // Follows the keys at `now` (seconds on any steady clock); answers
    // whether a frame may play on this refresh: not while paused, unless a
    // seek moved the paused show.
    bool Follow(const SurfaceEvents& events, double now);
    // While paused, and for a while after a key.
    bool TimeLineShown(double now) const;
    // The frame a paused seek owes plays at once, whatever the pace.
    bool FrameOwed() const { return mFrameOwed; }
    void FramePlayed() { mFrameOwed = false; }

private:
    double mTimeLineUntil = 0.0;
    bool mFrameOwed = false;
};

}  // namespace Seeking

// A moment of the show: the bytes of its state, its random sequence and the
// time of the frame played last (negative: none yet).
struct ShowMoment {
    ShowMemory::Moment bytes;
    Host::RandomState random{};
    double playedLast = -1.0;

    void Keep(const ShowMemory& memory, double played);
    void Restore(const ShowMemory& memory) const;
};
