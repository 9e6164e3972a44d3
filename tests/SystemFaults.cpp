#include "SystemFaults.h"

#include <cerrno>
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

}  // extern "C"
