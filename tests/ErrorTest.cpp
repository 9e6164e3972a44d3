#include <gtest/gtest.h>

#include <cstring>

#include "BS/Export/BS_Error.h"

TEST(Errors, DerivedErrorKeepsItsClassThroughEveryBaseReference) {
    auto thrower = [] { throw BS::NotFound("gone", "/x/y"); };
    try { thrower(); } catch (const BS::CannotOpen& e) { EXPECT_EQ(e.ErrorType(), "BS::NotFound"); }
    try { thrower(); } catch (const BS::FileError& e) {
        EXPECT_EQ(e.ErrorType(), "BS::NotFound");
        EXPECT_EQ(e.GetFileName(), "/x/y");
    }
    try { thrower(); } catch (const BS::Error& e) {
        EXPECT_EQ(e.ErrorType(), "BS::NotFound");
        EXPECT_EQ(e.mMessage, "gone");
    }
}

TEST(Errors, CatchingByValueSlicesToTheBaseButKeepsTheMessage) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcatch-value"
    try {
        throw BS::DiskFull("no space", "/f");
    } catch (BS::Error e) {  // slicing is the behaviour under test
        EXPECT_EQ(e.ErrorType(), "BS::Error");
        EXPECT_EQ(e.mMessage, "no space");
    }
#pragma GCC diagnostic pop
}

TEST(Errors, WhatIsNotTheMessage) {
    const BS::AccessDenied e("secret message", "f");
    EXPECT_STRNE(e.what(), "secret message");
    EXPECT_STREQ(e.what(), std::exception().what());
}

TEST(Errors, EveryClassNamesItself) {
    EXPECT_EQ(BS::Error("m").ErrorType(), "BS::Error");
    EXPECT_EQ(BS::OutOfMemory("m").ErrorType(), "BS::OutOfMemory");
    EXPECT_EQ(BS::NullPointer("m").ErrorType(), "BS::NullPointer");
    EXPECT_EQ(BS::FileError("m", "f").ErrorType(), "BS::FileError");
    EXPECT_EQ(BS::CannotOpen("m", "f").ErrorType(), "BS::CannotOpen");
    EXPECT_EQ(BS::NotEmpty("m", "f").ErrorType(), "BS::NotEmpty");
    EXPECT_EQ(BS::WriteError("m", "f").ErrorType(), "BS::WriteError");
    EXPECT_EQ(BS::DiskFull("m", "f").ErrorType(), "BS::DiskFull");
    EXPECT_EQ(BS::NotUnique("m", "f").ErrorType(), "BS::NotUnique");
    EXPECT_EQ(BS::ReadError("m", "f").ErrorType(), "BS::ReadError");
    const BS::WriteError* asWrite = nullptr;
    BS::DiskFull full("m", "f");
    asWrite = &full;
    EXPECT_EQ(asWrite->ErrorType(), "BS::DiskFull");
}
