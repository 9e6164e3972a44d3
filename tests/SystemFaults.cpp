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

void Reset() {
    for (Fault& f : gFaults) f = Fault{};
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
void* __real_malloc(size_t size);
void* __wrap_malloc(size_t size) { return Take(SystemFaults::kMalloc) ? nullptr : __real_malloc(size); }
void* __real_realloc(void* block, size_t size);
void* __wrap_realloc(void* block, size_t size) {
    return Take(SystemFaults::kRealloc) ? nullptr : __real_realloc(block, size);
}
// Wrapped by the build, failed by no test: straight through.
int __real_open(const char* path, int flags, ...);
int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    return __real_open(path, flags, mode);
}
int __real_mkdir(const char* path, mode_t mode);
int __wrap_mkdir(const char* path, mode_t mode) { return __real_mkdir(path, mode); }
int __real_unlink(const char* path);
int __wrap_unlink(const char* path) { return __real_unlink(path); }
int __real_rmdir(const char* path);
int __wrap_rmdir(const char* path) { return __real_rmdir(path); }
char* __real_getcwd(char* buffer, size_t size);
char* __wrap_getcwd(char* buffer, size_t size) { return __real_getcwd(buffer, size); }
struct tm* __real_localtime_r(const time_t* when, struct tm* out);
struct tm* __wrap_localtime_r(const time_t* when, struct tm* out) { return __real_localtime_r(when, out); }
time_t __real_time(time_t* out);
time_t __wrap_time(time_t* out) { return __real_time(out); }
int __real_gettimeofday(struct timeval* tv, void* zone);
int __wrap_gettimeofday(struct timeval* tv, void* zone) { return __real_gettimeofday(tv, zone); }
int __real_clock_gettime(clockid_t clock, struct timespec* ts);
int __wrap_clock_gettime(clockid_t clock, struct timespec* ts) { return __real_clock_gettime(clock, ts); }
int __real_usleep(useconds_t micros);
int __wrap_usleep(useconds_t micros) { return __real_usleep(micros); }

}  // extern "C"
