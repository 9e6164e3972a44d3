#include "Seeking.h"

#include <cmath>

namespace Seeking {

namespace {

// The first tick whose time lies after t by more than one moment.
long long FirstTickAfter(double t) {
    if (t < 0.0) return 0;
    long long tick = static_cast<long long>(std::floor(t * kTicksPerSecond));
    while (TickTime(tick) <= t + kSameMoment) ++tick;
    while (tick > 0 && TickTime(tick - 1) > t + kSameMoment) --tick;
    return tick;
}

}  // namespace

Ticks TicksBetween(double after, double target) {
    Ticks ticks;
    ticks.first = FirstTickAfter(after);
    // The frame at target itself is played by the caller, drawn.
    ticks.end = FirstTickAfter(target - 2.0 * kSameMoment);
    if (ticks.end < ticks.first) ticks.end = ticks.first;
    return ticks;
}

bool FollowPlayer(const SurfaceEvents& events) {
    if (events.togglePause) Host::PauseShow(!Host::ShowPaused());
    if (events.toggleGentle) Host::SetGentle(!Host::Gentle());
    if (!events.toStart && events.seekBy == 0.0) return false;
    const double from = events.toStart ? 0.0 : Host::ShowTime();
    Host::SeekShow(from + events.seekBy);
    return true;
}

bool PlayerControls::Follow(const SurfaceEvents& events, double now) {
    const bool moved = FollowPlayer(events);
    if (moved || events.togglePause) mTimeLineUntil = now + kTimeLineSeconds;
    // A paused show shows where a seek took it.
    if (moved && Host::ShowPaused()) mFrameOwed = true;
    return !Host::ShowPaused() || mFrameOwed;
}

bool PlayerControls::TimeLineShown(double now) const { return Host::ShowPaused() || now < mTimeLineUntil; }

}  // namespace Seeking

void ShowMoment::Keep(const ShowMemory& memory, double played) {
    memory.Keep(bytes);
    Host::KeepRandom(random);
    playedLast = played;
}

void ShowMoment::Restore(const ShowMemory& memory) const {
    memory.Restore(bytes);
    Host::RestoreRandom(random);
}
