#include "AllocationCounter.h"

#include <link.h>
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

// Address ranges of the loaded code, taken once when attribution is armed:
// dladdr per stack frame costs a symbol search, which inflated the very
// frame times the bench measures whenever the driver compiled a shader.
enum class Module : unsigned char { Program, Runtime, Other };
struct CodeRange {
    uintptr_t begin, end;
    Module module;
};
constexpr int kMaxRanges = 256;
CodeRange gRanges[kMaxRanges];
int gRangeCount = 0;

Module ModuleOfPath(const char* path) {
    if (!path || !*path) return Module::Program;  // the main program has no name here
    if (strstr(path, "libstdc++") || strstr(path, "libgcc")) return Module::Runtime;
    return Module::Other;
}

int CollectRanges(dl_phdr_info* info, size_t, void*) {
    const Module module = ModuleOfPath(info->dlpi_name);
    for (int i = 0; i < info->dlpi_phnum && gRangeCount < kMaxRanges; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
        const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        gRanges[gRangeCount++] = {begin, begin + segment.p_memsz, module};
    }
    return 0;
}

Module ModuleOf(const void* address) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(address);
    for (int i = 0; i < gRangeCount; ++i)
        if (at >= gRanges[i].begin && at < gRanges[i].end) return gRanges[i].module;
    return Module::Other;  // JIT code or a library loaded later
}

// The first caller outside the C++ runtime decides: this program's code, or
// a library (the GL driver and the compiler inside it). Kept out of line so
// that frames 0 and 1 are this function and operator new.
__attribute__((noinline)) bool MadeByThisProgram() {
    void* frames[24];
    const int depth = backtrace(frames, 24);
    for (int i = 2; i < depth; ++i) {
        const Module module = ModuleOf(frames[i]);
        if (module != Module::Runtime) return module == Module::Program;
    }
    return false;
}

}  // namespace

long AllocationCount() { return gAllocations.load(std::memory_order_relaxed); }
long OwnAllocationCount() { return gOwnAllocations.load(std::memory_order_relaxed); }

void ArmAllocationAttribution(bool on) {
    gArmed = false;  // no classification while the ranges are rewritten
    if (on) {
        void* warm[1];
        backtrace(warm, 1);  // the unwinder loads on first use
        gRangeCount = 0;
        dl_iterate_phdr(CollectRanges, nullptr);
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
