// The browser host's portable parts, checked natively: its PNG decoder against the Linux host's, its rand() against
// the C library's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Linux/Source/PngFile.h"
#include "Web/Source/GlibcRandom.h"
#include "Web/Source/StbPicture.h"

namespace {

TEST(WebPictureTest, EveryPictureOfTheDataTreeDecodesToTheLinuxHostsPixels) {
    int pictures = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(KESTREL_BUNDLE "/FxData")) {
        if (entry.path().extension() != ".png") continue;
        const std::string path = entry.path().string();
        PngImage native;
        std::string error;
        ASSERT_TRUE(ReadPng(path, native, error)) << path << ": " << error;
        Host::Picture web;
        ASSERT_TRUE(DecodePictureWithStb(path, web, error)) << path << ": " << error;
        EXPECT_EQ(web.width, native.width) << path;
        EXPECT_EQ(web.height, native.height) << path;
        EXPECT_TRUE(web.rgba == native.rgba) << path;
        ++pictures;
    }
    EXPECT_GT(pictures, 10);
}

TEST(WebPictureTest, AMissingFileReadsAsItDoesNatively) {
    const std::string path = "/nonexistent/kestrel/picture.png";
    Host::Picture web;
    std::string webError, nativeError;
    PngImage native;
    EXPECT_FALSE(DecodePictureWithStb(path, web, webError));
    EXPECT_FALSE(ReadPng(path, native, nativeError));
    EXPECT_EQ(webError, nativeError);
}

TEST(WebRandomTest, FollowsTheCLibrarysSequenceForEverySeed) {
    for (unsigned seed : {0u, 1u, 7u, 12345u, 4000000000u}) {
        srand(seed);
        GlibcRandom::Seed(seed);
        for (int i = 0; i < 20000; ++i) ASSERT_EQ(GlibcRandom::Next(), rand()) << "seed " << seed << ", draw " << i;
    }
}

}  // namespace
