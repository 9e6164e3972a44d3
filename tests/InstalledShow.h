// What the install and package tests share: the build's bundle, and its program's picture of the show to compare an
// installed program's with.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "Linux/Source/PngFile.h"
#include "ShellRun.h"
#include "TempTree.h"

inline const char* const kShotArguments = "--headless --fixed-fps 10 --shot 1 --out";

inline bool Contains(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The files of the build's bundle, relative to it, the program left out.
inline std::set<std::string> BundleDataFiles() {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(KESTREL_BUNDLE))
        if (entry.is_regular_file()) files.insert(std::filesystem::relative(entry.path(), KESTREL_BUNDLE).string());
    files.erase("kestrel");
    return files;
}

// The shot at 1 s in dir is the build tree's program's, to the pixel.
inline void ExpectShotLikeTheBuildTrees(const std::string& dir) {
    TempTree out;
    const ProgramRun run = RunShell(Quoted(KESTREL_BUNDLE "/kestrel") + " " + kShotArguments + " " + out.Path());
    EXPECT_EQ(run.status, 0) << run.err;
    PngImage image, expected;
    std::string error;
    ASSERT_TRUE(ReadPng(dir + "/shot_0001.000.png", image, error)) << error;
    EXPECT_TRUE(ReadPng(out.Path() + "/shot_0001.000.png", expected, error)) << error;
    EXPECT_EQ(image.width, expected.width);
    EXPECT_TRUE(image.rgba == expected.rgba);
}
