// Failing system calls and chosen clock readings for the base system's tests.
// Only the unit test binary is linked with -Wl,--wrap=<call> for the calls
// below (tests/CMakeLists.txt): the library's calls reach the wrappers, which
// go straight on to the system unless a test has armed a fault or fixed the
// clocks. The program keeps its direct calls, so nothing is paid per frame.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>

namespace SystemFaults {

enum Call {
    kFopen, kFtello, kFseeko, kOpen, kMkdir, kUnlink, kRmdir, kGetcwd, kMalloc, kRealloc, kLocaltime, kCallCount
};

// The call's next use after `skip` successful ones fails once, with `error`
// in errno.
void Fail(Call call, int error, int skip = 0);
// True while an armed failure has not been used.
bool Pending(Call call);

// From now on time() answers `now`; gettimeofday answers wallStartMicros,
// then one wallStepMicros more at each call; clock_gettime answers
// tickStartNanos, then one tickStepNanos more at each call; usleep returns at
// once and only adds its argument to SleptMicros().
void FixClocks(time_t now, int64_t wallStartMicros, int64_t wallStepMicros, uint64_t tickStartNanos,
               uint64_t tickStepNanos);
int TickReads();
int WallReads();
clockid_t LastTickClock();
uint64_t SleptMicros();

// Every fault disarmed, the clocks back to the system's.
void Reset();

// Resets on the way out of a test, failed assertions included.
class Scope {
public:
    Scope() { Reset(); }
    ~Scope() { Reset(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

}  // namespace SystemFaults
