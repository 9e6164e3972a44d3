#include <gtest/gtest.h>
#include <sys/time.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Memory.h"
#include "BS/Export/BS_Time.h"
#include "DemoSys/Riraru3Z/Array.h"

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
    EXPECT_EQ(BS::Std::HashString(""), 2147483647u);
    EXPECT_EQ(BS::Std::HashString("A"), 2147486702u);
    // 2^31 - 1 plus every byte (signed) times its position from 1 times the
    // primes 47 to 73 in turn, modulo 2^32.
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
    // The seed whose successor is the largest state: the multiplier's inverse
    // modulo 2^32 by Newton's iteration.
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

TEST(Memory, ReallocateOfNullAllocatesAndGrowingKeepsContents) {
    char* block = static_cast<char*>(BS::ReallocateMemory(nullptr, 4));
    ASSERT_NE(block, nullptr);
    memcpy(block, "abc", 4);
    block = static_cast<char*>(BS::ReallocateMemory(block, 4096));
    EXPECT_STREQ(block, "abc");
    free(block);
}

TEST(Time, SetTimeMovesTheOriginAndTheClockRunsOn) {
    std::unique_ptr<BS::Time> clock(BS::Time::CreateTime());
    struct timeval wall;  // a new clock reads the wall clock
    gettimeofday(&wall, nullptr);
    EXPECT_NEAR(clock->GetTime(), static_cast<double>(wall.tv_sec) + wall.tv_usec / 1e6, 0.1);
    struct timespec monotonic;  // ticks are the monotonic clock's nanoseconds
    clock_gettime(CLOCK_MONOTONIC, &monotonic);
    const double ticks = static_cast<double>(BS::Time::GetTickCount());
    EXPECT_NEAR(ticks, static_cast<double>(monotonic.tv_sec) * 1e9 + static_cast<double>(monotonic.tv_nsec), 1e8);
    clock->SetTime(5.0);
    BS::Time::Sleep(0.05);
    EXPECT_GE(clock->GetTime(), 5.05);
    EXPECT_LT(clock->GetTime(), 7.0);
}

TEST(Time, CalendarAgreesWithLocalTime) {
    const time_t now = time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    EXPECT_EQ(BS::Time::GetYear(), lt.tm_year + 1900);
    EXPECT_EQ(BS::Time::GetMonth(), lt.tm_mon + 1);
    EXPECT_EQ(BS::Time::GetMonthName(), kMonths[lt.tm_mon]);
    EXPECT_FALSE(BS::Time::GetDayName().empty());
}

TEST(HardwareInfo, TickFrequencyAndMachineQueries) {
    BS::HardwareInfo::Initialize();
    // The tick counter counts nanoseconds.
    EXPECT_NEAR(static_cast<double>(BS::HardwareInfo::GetTickFrequency()), 1e9, 2e8);
    EXPECT_GE(BS::HardwareInfo::GetCpuCount(), 1);
    EXPECT_GT(BS::HardwareInfo::GetAvailPhysicalMemory(), 0u);
    EXPECT_EQ(BS::HardwareInfo::GetAvailVirtualMemory(), 0u);
    EXPECT_EQ(BS::HardwareInfo::GetOsName(), "Linux");
    EXPECT_FALSE(BS::HardwareInfo::GetCpuName().empty());
}
