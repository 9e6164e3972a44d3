#include "AllocationCounter.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::atomic<long> gAllocations{0};
std::atomic<long> gOwnAllocations{0};
std::atomic<bool> gArmed{false};
thread_local bool tInside = false;

bool InLibrary(const char* path, const char* name) { return path && strstr(path, name) != nullptr; }

// The first caller outside the C++ runtime decides: this program's code, or
// a library (the GL driver and the compiler inside it).
bool MadeByThisProgram() {
    void* frames[24];
    const int depth = backtrace(frames, 24);
    static const void* const kSelf = reinterpret_cast<const void*>(&MadeByThisProgram);
    Dl_info self{};
    dladdr(kSelf, &self);
    for (int i = 2; i < depth; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info)) continue;
        if (InLibrary(info.dli_fname, "libstdc++") || InLibrary(info.dli_fname, "libgcc")) continue;
        return info.dli_fbase == self.dli_fbase;
    }
    return false;
}

}  // namespace

long AllocationCount() { return gAllocations.load(std::memory_order_relaxed); }
long OwnAllocationCount() { return gOwnAllocations.load(std::memory_order_relaxed); }

void ArmAllocationAttribution(bool on) {
    if (on) {
        void* warm[1];
        backtrace(warm, 1);  // the unwinder loads on first use
    }
    gArmed = on;
}

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (gArmed && !tInside) {
        tInside = true;
        if (MadeByThisProgram()) gOwnAllocations.fetch_add(1, std::memory_order_relaxed);
        tInside = false;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
