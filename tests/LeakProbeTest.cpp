// A test binary with a leak planted on purpose, built only with the sanitizers: the leak checker must still report
// a leak of the program's own after a GL context was made and used, as every rendering test makes one, so that
// the suppressions and the leak checker's settings are seen to hide nothing but the libraries they name.
#include <gtest/gtest.h>

#include <cstring>

#include "GLTestSupport.h"

namespace {

void* volatile gLost = nullptr;

TEST_F(GLTest, APlantedLeakIsReported) {
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(Pixel(3, 4)[1], 128);
    // 4321 bytes, a size nothing else allocates, for the report to be told by.
    gLost = memset(new char[4321], 1, 4321);
    gLost = nullptr;
}

}  // namespace
