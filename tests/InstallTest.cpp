// The program installed by `cmake --install` into a prefix plays with the build tree out of its reach.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "InstalledShow.h"

namespace fs = std::filesystem;

namespace {

bool CanHideFolders() { return RunShell("unshare --mount --map-root-user true").status == 0; }

// The command line (no double quotes in it) with the build and source trees covered by empty folders it alone sees.
std::string WithTreesHidden(const std::string& command) {
    return "unshare --mount --map-root-user sh -c \"mount -t tmpfs none '" KESTREL_BUILD_DIR
           "' && mount -t tmpfs none '" KESTREL_SOURCE_DIR "' && " +
           command + "\"";
}

}  // namespace

TEST(Install, TheInstalledProgramPlaysWithTheBuildTreeOutOfReach) {
    TempTree tree;
    const std::string prefix = tree.Path() + "/prefix";
    const ProgramRun install =
        RunShell(Quoted(CMAKE_COMMAND) + " --install " + Quoted(KESTREL_BUILD_DIR) + " --prefix " + Quoted(prefix));
    ASSERT_EQ(install.status, 0) << install.err;
    EXPECT_EQ(access((prefix + "/bin/kestrel").c_str(), X_OK), 0);
    for (const std::string& file : BundleDataFiles())
        EXPECT_EQ(fs::file_size(prefix + "/share/kestrel/" + file), fs::file_size(KESTREL_BUNDLE "/" + file)) << file;

    const std::string play = "cd / && '" + prefix + "/bin/kestrel' " + kShotArguments + " '" + tree.Path() + "/out'";
    const bool hide = CanHideFolders();
    if (hide) {
        EXPECT_EQ(RunShell(WithTreesHidden("test -e '" KESTREL_BUNDLE "/kestrel'")).status, 1)
            << "the build tree is not hidden";
    }
    const ProgramRun run = RunShell(hide ? WithTreesHidden(play) : play);
    ASSERT_EQ(run.status, 0) << run.err.substr(0, 3000);
    EXPECT_FALSE(Contains(run.err, "cannot")) << run.err.substr(0, 3000);
    ExpectShotLikeTheBuildTrees(tree.Path() + "/out");
    if (!hide) GTEST_SKIP() << "played with the build tree in reach: no mount namespace here to hide it in";
}
