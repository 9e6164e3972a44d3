#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Memory.h"
#include "BS/Export/BS_Time.h"
#include "CaughtError.h"
#include "DemoSys/Riraru3Z/Array.h"
#include "SystemFaults.h"

namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace

TEST(Array, GrowsByItsStepOrAtLeastByOneRecordAndKeepsWhatItHeld) {
    Array<int> stepped(2, 3), unstepped(0, 0), byTwo(1, 2);
    for (int i = 0; i < 7; ++i) {
        stepped.Add(10 * i);
        unstepped.Add(-i);
        byTwo.Add(i);
    }
    EXPECT_EQ(stepped.Capacity(), 8);  // 2, then 5, then 8
    EXPECT_EQ(unstepped.Capacity(), 7);
    EXPECT_EQ(byTwo.Capacity(), 7);  // 1, then 3, 5, 7: a step of two is taken whole
    ASSERT_EQ(stepped.Count(), 7);
    ASSERT_EQ(unstepped.Count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(stepped[i], 10 * i);
        EXPECT_EQ(unstepped[i], -i);
    }
}

TEST(Hash, WeightsBytesByPositionAndPrime) {
    // 2^31 - 1 plus every byte (signed) times its position from 1 times the primes 47 to 73 in turn, modulo 2^32.
    const int64_t primes[7] = {47, 53, 59, 61, 67, 71, 73};
    std::mt19937 random(2144);
    for (int trial = 0; trial < 50; ++trial) {
        std::string text(1 + trial % 23, ' ');
        for (char& c : text) c = static_cast<char>(1 + random() % 255);
        int64_t h = 2147483647;
        for (size_t i = 0; i < text.size(); ++i) h += static_cast<signed char>(text[i]) * int64_t(i + 1) * primes[i % 7];
        EXPECT_EQ(BS::Std::HashString(text.c_str()), static_cast<uint32_t>(h)) << text;
    }
}

TEST(Random, LinearCongruentialSequence) {
    BS::Rand::msSeed = 0;
    EXPECT_EQ(BS::Rand::GetRandom(), 2531011u);
    EXPECT_EQ(BS::Rand::GetRandom(), 505908858u);
    EXPECT_EQ(BS::Rand::GetRandomFromSeed(0), 2162462330u);
    EXPECT_EQ(BS::Rand::msSeed, 505908858u);  // untouched by the seeded variant
    const uint32_t third = 505908858u * 214013u + 2531011u;
    EXPECT_EQ(BS::Rand::GetRandomFloat(), static_cast<float>(third / 4294967296.0));
    EXPECT_EQ(BS::Rand::msSeed, third);
    EXPECT_EQ(BS::Rand::GetRandomDouble(), (third * 214013u + 2531011u) / 4294967296.0);
    EXPECT_EQ(BS::Rand::RandomToDouble(0x80000000u), 0.5);
}

TEST(Random, FloatsStayBelowOne) {
    // The seed whose successor is the largest state: the multiplier's inverse modulo 2^32 by Newton's iteration.
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    ASSERT_EQ(inverse * 214013u, 1u);
    for (uint32_t top : {0xFFFFFFFFu, 0xFFFFFF80u, 0xFFFFFF7Fu}) {
        BS::Rand::msSeed = (top - 2531011u) * inverse;
        const float f = BS::Rand::GetRandomFloat();
        EXPECT_EQ(BS::Rand::msSeed, top);
        EXPECT_LT(f, 1.0f) << top;
        EXPECT_GT(f, 0.99999988f) << top;
    }
    EXPECT_LT(BS::Rand::GetRandomDouble(), 1.0);
}

TEST(Memory, AnExhaustedHeapIsOutOfMemoryAndTheOldBlockStays) {
    SystemFaults::Scope faults;
    SystemFaults::Fail(SystemFaults::kMalloc, ENOMEM);
    EXPECT_EQ(Catch([] { BS::AllocateMemory(64); }),
              PlainFailure("OutOfMemory", "Out of memory in BS::AllocateMemory"));
    char* block = static_cast<char*>(BS::AllocateMemory(16));
    memcpy(block, "kestrel", 8);
    SystemFaults::Fail(SystemFaults::kRealloc, ENOMEM);
    EXPECT_EQ(Catch([&] { block = static_cast<char*>(BS::ReallocateMemory(block, 1u << 20)); }),
              PlainFailure("OutOfMemory", "Out of memory in BS::ReallocateMemory"));
    EXPECT_STREQ(block, "kestrel");  // still the caller's, and still valid
    block = static_cast<char*>(BS::ReallocateMemory(block, 1u << 16));
    EXPECT_STREQ(block, "kestrel");
    free(block);
    // No block: a plain allocation, which fails as one.
    SystemFaults::Fail(SystemFaults::kMalloc, ENOMEM);
    EXPECT_EQ(Catch([] { BS::ReallocateMemory(nullptr, 64); }),
              PlainFailure("OutOfMemory", "Out of memory in BS::AllocateMemory"));
    SystemFaults::Fail(SystemFaults::kRealloc, ENOMEM);
    void* fresh = BS::ReallocateMemory(nullptr, 64);
    EXPECT_NE(fresh, nullptr);
    EXPECT_TRUE(SystemFaults::Pending(SystemFaults::kRealloc));  // never asked
    free(fresh);
}

TEST(Time, ClocksReadTheSystemClocksExactly) {
    SystemFaults::Scope faults;
    // Wall clock 1700000000.390625 s, half a second more at each reading; ticks 1234567.890123456 s, 300 ns more.
    SystemFaults::FixClocks(0, 1700000000390625, 500000, 1234567890123456ull, 300);
    std::unique_ptr<BS::Time> clock(BS::Time::CreateTime());
    EXPECT_EQ(clock->GetTime(), 1700000000.390625);
    clock->SetTime(5.0);
    EXPECT_EQ(clock->GetTime(), 5.5);
    EXPECT_EQ(clock->GetTime(), 6.0);
    EXPECT_EQ(SystemFaults::WallReads(), 4);
    EXPECT_EQ(BS::Time::GetTickCount(), 1234567890123456ull);
    EXPECT_EQ(BS::Time::GetTickCount(), 1234567890123756ull);
    EXPECT_EQ(SystemFaults::LastTickClock(), CLOCK_MONOTONIC);
    BS::Time::Sleep(0.375);
    EXPECT_EQ(SystemFaults::SleptMicros(), 375000u);
    BS::Time::Sleep(2.25);
    EXPECT_EQ(SystemFaults::SleptMicros(), 2625000u);
}

TEST(Time, SpinReturnsAtTheFirstReadingThatManyTicksOn) {
    SystemFaults::Scope faults;
    for (unsigned ticks : {0u, 1u, 299u, 300u, 301u, 900u, 901u, 2000u}) {
        SystemFaults::FixClocks(0, 0, 0, 777000000000ull, 300);
        BS::Time::Spin(ticks);
        // The first reading is the start; each further one is 300 ticks on.
        int readings = 1;
        do ++readings; while (300u * static_cast<unsigned>(readings - 1) < ticks);
        EXPECT_EQ(SystemFaults::TickReads(), readings) << ticks;
    }
}

TEST(Time, CalendarFieldsOfChosenTimes) {
    SystemFaults::Scope faults;
    SystemFaults::ScopedEnv zone("TZ", "IST-5:30");  // a zone whose local day and hour differ from UTC's
    std::vector<time_t> times;
    // From 2031-01-09 13:47:26 UTC, a month, three hours and some minutes apart: every month and weekday.
    for (int k = 0; k < 12; ++k) times.push_back(1925732846 + k * (31 * 86400 + 11231));
    times.push_back(946684799);  // 1999-12-31 23:59:59 UTC, already the next year here
    for (time_t t : times) {
        SystemFaults::FixClocks(t, 0, 0, 0, 0);
        struct tm lt;
        ASSERT_NE(localtime_r(&t, &lt), nullptr);
        EXPECT_EQ(BS::Time::GetYear(), lt.tm_year + 1900) << t;
        EXPECT_EQ(BS::Time::GetMonth(), lt.tm_mon + 1) << t;
        EXPECT_EQ(BS::Time::GetDay(), lt.tm_mday) << t;
        EXPECT_EQ(BS::Time::GetHour(), lt.tm_hour) << t;
        EXPECT_EQ(BS::Time::GetMinute(), lt.tm_min) << t;
        EXPECT_EQ(BS::Time::GetSecond(), lt.tm_sec) << t;
        EXPECT_EQ(BS::Time::GetMonthName(), kMonthNames[lt.tm_mon]) << t;
        EXPECT_EQ(BS::Time::GetDayName(), kDayNames[lt.tm_wday]) << t;
    }
}

TEST(Time, CalendarWithoutALocalTimeAnswersZero) {
    SystemFaults::Scope faults;
    SystemFaults::FixClocks(1925732846, 0, 0, 0, 0);
    auto failing = [](auto query) {
        SystemFaults::Fail(SystemFaults::kLocaltime, EOVERFLOW);
        return query();
    };
    EXPECT_EQ(failing(BS::Time::GetYear), 0);
    EXPECT_EQ(failing(BS::Time::GetMonth), 0);
    EXPECT_EQ(failing(BS::Time::GetDay), 0);
    EXPECT_EQ(failing(BS::Time::GetHour), 0);
    EXPECT_EQ(failing(BS::Time::GetMinute), 0);
    EXPECT_EQ(failing(BS::Time::GetSecond), 0);
    EXPECT_EQ(failing(BS::Time::GetMonthName), "");
    EXPECT_EQ(failing(BS::Time::GetDayName), "");
}

TEST(HardwareInfo, TickFrequencyIsTicksPerWallSecondOverTheSleep) {
    SystemFaults::Scope faults;
    const uint64_t kept = BS::HardwareInfo::msTickCounterFrequency;
    // 0.25 s of wall clock and 300000000 ticks between the two readings.
    SystemFaults::FixClocks(0, 1700000000390625, 250000, 5000000123ull, 300000000);
    BS::HardwareInfo::Initialize();
    EXPECT_EQ(BS::HardwareInfo::GetTickFrequency(), 1200000000u);
    EXPECT_EQ(SystemFaults::SleptMicros(), 200000u);
    EXPECT_EQ(SystemFaults::TickReads(), 2);
    EXPECT_EQ(SystemFaults::WallReads(), 2);
    BS::HardwareInfo::msTickCounterFrequency = kept;
}

TEST(HardwareInfo, MachineQueriesAnswerWhatTheSystemSays) {
    EXPECT_EQ(BS::HardwareInfo::GetCpuCount(), static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_EQ(BS::HardwareInfo::GetAvailPhysicalMemory(),
              static_cast<uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)));
    struct utsname u;
    ASSERT_EQ(uname(&u), 0);
    EXPECT_EQ(BS::HardwareInfo::GetOsName(), u.sysname);
    EXPECT_EQ(BS::HardwareInfo::GetCpuName(), u.machine);
    EXPECT_EQ(BS::HardwareInfo::GetAvailVirtualMemory(), 0u);  // not known on this system
}
