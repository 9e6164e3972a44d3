#include "BS/Export/BS_Memory.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Time.h"

namespace BS {

void* AllocateMemory(unsigned int size) {
    void* block = malloc(size);
    if (!block) throw OutOfMemory("Out of memory in BS::AllocateMemory");
    return block;
}

void* ReallocateMemory(void* block, unsigned int size) {
    if (!block) return AllocateMemory(size);
    void* grown = realloc(block, size);
    if (!grown) throw OutOfMemory("Out of memory in BS::ReallocateMemory");
    return grown;
}

namespace Std {

namespace {
const uint32_t lscPrimeList[7] = {47, 53, 59, 61, 67, 71, 73};
}

uint32_t HashString(const char* s) {
    uint32_t h = 2147483647u;
    for (uint32_t i = 0; s[i] != '\0'; ++i) {
        const int32_t c = static_cast<signed char>(s[i]);
        h += static_cast<uint32_t>(c) * (i + 1) * lscPrimeList[i % 7];
    }
    return h;
}

}  // namespace Std

uint32_t Rand::msSeed = static_cast<uint32_t>(time(nullptr));

namespace {
uint32_t NextLcg(uint32_t s) { return s * 214013u + 2531011u; }
}  // namespace

uint32_t Rand::GetRandom() { return msSeed = NextLcg(msSeed); }
float Rand::GetRandomFloat() { return RandomToFloat(GetRandom()); }
double Rand::GetRandomDouble() { return RandomToDouble(GetRandom()); }

uint32_t Rand::GetRandomFromSeed(uint32_t s) {
    const uint32_t a = NextLcg(s);
    const uint32_t b = NextLcg(a);
    return b ^ (a << 16);
}

uint64_t HardwareInfo::msTickCounterFrequency = 0;

void HardwareInfo::Initialize() {
    std::unique_ptr<Time> clock(Time::CreateTime());
    clock->SetTime(0.0);
    const uint64_t t0 = Time::GetTickCount();
    Time::Sleep(0.2);
    const double elapsed = clock->GetTime();
    const uint64_t t1 = Time::GetTickCount();
    msTickCounterFrequency = static_cast<uint64_t>(static_cast<double>(t1 - t0) / elapsed);
}

int HardwareInfo::GetCpuCount() { return static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)); }

uint64_t HardwareInfo::GetAvailPhysicalMemory() {
    return static_cast<uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

std::string HardwareInfo::GetOsName() {
    struct utsname u;
    return uname(&u) == 0 ? u.sysname : "";
}

std::string HardwareInfo::GetCpuName() {
    struct utsname u;
    return uname(&u) == 0 ? u.machine : "";
}

}  // namespace BS
