#include <gtest/gtest.h>

#include "BS/Export/BS_Error.h"

// A handler of a base class still reads the thrown class's name; the tests' Catch reads the others through their bases.
TEST(Errors, DerivedErrorKeepsItsClassThroughItsBase) {
    try {
        throw BS::NotFound("gone", "/x/y");
    } catch (const BS::CannotOpen& e) {
        EXPECT_EQ(e.ErrorType(), "BS::NotFound");
    }
    const BS::DiskFull full("no space", "/f");
    const BS::WriteError& write = full;
    EXPECT_EQ(write.ErrorType(), "BS::DiskFull");
    EXPECT_EQ(BS::Error("m").ErrorType(), "BS::Error");
}
