// The bench's figure "allocations per frame by the show's code" is only as
// good as the attribution behind it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AllocationCounter.h"

namespace {

struct Armed {
    Armed() { ArmAllocationAttribution(true); }
    ~Armed() { ArmAllocationAttribution(false); }
};

TEST(AllocationCounter, CountsThisProgramsAllocationsWhereverTheRuntimeMakesThem) {
    Armed armed;
    const long all = AllocationCount(), own = OwnAllocationCount();
    auto direct = std::make_unique<int>(3);                  // operator new called from here
    std::vector<int> inlined(100);                           // through inlined allocator templates
    std::string throughLibrary(100, 'x');                    // from inside libstdc++
    EXPECT_EQ(AllocationCount() - all, 3);
    EXPECT_EQ(OwnAllocationCount() - own, 3);
}

TEST(AllocationCounter, AttributesNothingWhileDisarmed) {
    ArmAllocationAttribution(false);
    const long all = AllocationCount(), own = OwnAllocationCount();
    auto counted = std::make_unique<int>(3);
    EXPECT_EQ(AllocationCount() - all, 1);
    EXPECT_EQ(OwnAllocationCount() - own, 0);
}

}  // namespace
