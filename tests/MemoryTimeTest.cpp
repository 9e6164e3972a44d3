// The growing array under the render lists and the particle pools, and the heap it grows on.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Memory.h"
#include "CaughtError.h"
#include "DemoSys/Riraru3Z/Array.h"
#include "SystemFaults.h"

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

TEST(Memory, AnExhaustedHeapIsOutOfMemoryAndTheOldBlockStays) {
    SystemFaults::Scope faults;
    SystemFaults::Fail(SystemFaults::kMalloc, ENOMEM);
    EXPECT_EQ(Failure([] { BS::AllocateMemory(64); }), "BS::OutOfMemory");
    char* block = static_cast<char*>(BS::AllocateMemory(16));
    memcpy(block, "kestrel", 8);
    SystemFaults::Fail(SystemFaults::kRealloc, ENOMEM);
    EXPECT_EQ(Failure([&] { block = static_cast<char*>(BS::ReallocateMemory(block, 1u << 20)); }), "BS::OutOfMemory");
    EXPECT_STREQ(block, "kestrel");  // still the caller's, and still valid
    block = static_cast<char*>(BS::ReallocateMemory(block, 1u << 16));
    EXPECT_STREQ(block, "kestrel");
    free(block);
    // No block: a plain allocation, which fails as one.
    SystemFaults::Fail(SystemFaults::kMalloc, ENOMEM);
    EXPECT_EQ(Failure([] { BS::ReallocateMemory(nullptr, 64); }), "BS::OutOfMemory");
    SystemFaults::Fail(SystemFaults::kRealloc, ENOMEM);
    void* fresh = BS::ReallocateMemory(nullptr, 64);
    EXPECT_NE(fresh, nullptr);
    EXPECT_TRUE(SystemFaults::Pending(SystemFaults::kRealloc));  // never asked
    free(fresh);
}
