// Allocation that turns an exhausted heap into BS::OutOfMemory, the string
// hash, the engine's random generator and machine queries.
#pragma once

#include <cstdint>
#include <string>

namespace BS {

void* AllocateMemory(unsigned int size);
// A null block behaves as AllocateMemory; on failure the old block stays valid.
void* ReallocateMemory(void* block, unsigned int size);

namespace Std {
uint32_t HashString(const char* s);
}

class Rand {
public:
    static uint32_t GetRandom();
    static float GetRandomFloat();
    static double GetRandomDouble();
    static uint32_t GetRandomFromSeed(uint32_t s);
    // The top 128 values would round up to 1.0f; they answer the float just below.
    static float RandomToFloat(uint32_t r) {
        const float f = static_cast<float>(r * (1.0 / 4294967296.0));
        return f < 1.0f ? f : 0x1.fffffep-1f;
    }
    static double RandomToDouble(uint32_t r) { return r * (1.0 / 4294967296.0); }

    static uint32_t msSeed;
};

class Fishy {
public:
    static void Nop() {}
};

class HardwareInfo {
public:
    // Measures the tick counter's frequency over a 0.2 s sleep.
    static void Initialize();
    static uint64_t GetTickFrequency() { return msTickCounterFrequency; }
    static int GetCpuCount();
    static uint64_t GetAvailPhysicalMemory();
    static uint64_t GetAvailVirtualMemory() { return 0; }
    static std::string GetOsName();
    static std::string GetCpuName();
    static void Print() {}

    static uint64_t msTickCounterFrequency;
};

}  // namespace BS
