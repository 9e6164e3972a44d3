#include "SystemFaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace SystemFaults {

namespace {

struct Fault {
    bool armed = false;
    int error = 0, skip = 0;
};
Fault gFaults[kCallCount];

struct Clocks {
    bool fixed = false;
    time_t now = 0;
    int64_t wall = 0, wallStep = 0;
    uint64_t tick = 0, tickStep = 0;
    int wallReads = 0, tickReads = 0;
    clockid_t lastClock = -1;
    uint64_t slept = 0;
};
Clocks gClocks;

// Whether this use of the call fails; sets errno when it does.
bool Take(Call call) {
    Fault& f = gFaults[call];
    if (!f.armed || f.skip-- > 0) return false;
    f.armed = false;
    errno = f.error;
    return true;
}

}  // namespace

void Fail(Call call, int error, int skip) { gFaults[call] = Fault{true, error, skip}; }
bool Pending(Call call) { return gFaults[call].armed; }

void FixClocks(time_t now, int64_t wallStartMicros, int64_t wallStepMicros, uint64_t tickStartNanos,
               uint64_t tickStepNanos) {
    gClocks = Clocks{true, now, wallStartMicros, wallStepMicros, tickStartNanos, tickStepNanos, 0, 0, -1, 0};
}

int TickReads() { return gClocks.tickReads; }
int WallReads() { return gClocks.wallReads; }
clockid_t LastTickClock() { return gClocks.lastClock; }
uint64_t SleptMicros() { return gClocks.slept; }
void Reset() {
    for (Fault& f : gFaults) f = Fault{};
    gClocks = Clocks{};
}

}  // namespace SystemFaults

using SystemFaults::Take;

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __wrap_fopen(const char* path, const char* mode) {
    return Take(SystemFaults::kFopen) ? nullptr : __real_fopen(path, mode);
}
off_t __real_ftello(FILE* stream);
off_t __wrap_ftello(FILE* stream) { return Take(SystemFaults::kFtello) ? -1 : __real_ftello(stream); }
int __real_fseeko(FILE* stream, off_t offset, int whence);
int __wrap_fseeko(FILE* stream, off_t offset, int whence) {
    return Take(SystemFaults::kFseeko) ? -1 : __real_fseeko(stream, offset, whence);
}
int __real_open(const char* path, int flags, ...);
int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    return Take(SystemFaults::kOpen) ? -1 : __real_open(path, flags, mode);
}
int __real_mkdir(const char* path, mode_t mode);
int __wrap_mkdir(const char* path, mode_t mode) { return Take(SystemFaults::kMkdir) ? -1 : __real_mkdir(path, mode); }
int __real_unlink(const char* path);
int __wrap_unlink(const char* path) { return Take(SystemFaults::kUnlink) ? -1 : __real_unlink(path); }
int __real_rmdir(const char* path);
int __wrap_rmdir(const char* path) { return Take(SystemFaults::kRmdir) ? -1 : __real_rmdir(path); }
char* __real_getcwd(char* buffer, size_t size);
char* __wrap_getcwd(char* buffer, size_t size) {
    return Take(SystemFaults::kGetcwd) ? nullptr : __real_getcwd(buffer, size);
}
void* __real_malloc(size_t size);
void* __wrap_malloc(size_t size) { return Take(SystemFaults::kMalloc) ? nullptr : __real_malloc(size); }
void* __real_realloc(void* block, size_t size);
void* __wrap_realloc(void* block, size_t size) {
    return Take(SystemFaults::kRealloc) ? nullptr : __real_realloc(block, size);
}
struct tm* __real_localtime_r(const time_t* when, struct tm* out);
struct tm* __wrap_localtime_r(const time_t* when, struct tm* out) {
    return Take(SystemFaults::kLocaltime) ? nullptr : __real_localtime_r(when, out);
}
time_t __real_time(time_t* out);
time_t __wrap_time(time_t* out) {
    if (!SystemFaults::gClocks.fixed) return __real_time(out);
    if (out) *out = SystemFaults::gClocks.now;
    return SystemFaults::gClocks.now;
}
int __real_gettimeofday(struct timeval* tv, void* zone);
int __wrap_gettimeofday(struct timeval* tv, void* zone) {
    SystemFaults::Clocks& c = SystemFaults::gClocks;
    if (!c.fixed) return __real_gettimeofday(tv, zone);
    const int64_t micros = c.wall + c.wallStep * c.wallReads++;
    tv->tv_sec = static_cast<time_t>(micros / 1000000);
    tv->tv_usec = static_cast<suseconds_t>(micros % 1000000);
    return 0;
}
int __real_clock_gettime(clockid_t clock, struct timespec* ts);
int __wrap_clock_gettime(clockid_t clock, struct timespec* ts) {
    SystemFaults::Clocks& c = SystemFaults::gClocks;
    if (!c.fixed) return __real_clock_gettime(clock, ts);
    c.lastClock = clock;
    if (c.tickReads > 10000000) {  // a wait that never ends fails rather than hangs
        fprintf(stderr, "SystemFaults: the fixed tick clock was read 10000000 times\n");
        abort();
    }
    const uint64_t nanos = c.tick + c.tickStep * static_cast<uint64_t>(c.tickReads++);
    ts->tv_sec = static_cast<time_t>(nanos / 1000000000u);
    ts->tv_nsec = static_cast<long>(nanos % 1000000000u);
    return 0;
}
int __real_usleep(useconds_t micros);
int __wrap_usleep(useconds_t micros) {
    if (!SystemFaults::gClocks.fixed) return __real_usleep(micros);
    SystemFaults::gClocks.slept += micros;
    return 0;
}

}  // extern "C"
