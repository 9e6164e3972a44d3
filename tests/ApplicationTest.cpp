#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Memory.h"
#include "CaughtError.h"
#include "DemoSys/Bundle.h"
#include "SystemFaults.h"
#include "TempTree.h"

using BS::LinuxApplication;
using SystemFaults::ScopedEnv;

namespace {

std::string Cwd() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer);
}

}  // namespace

// A program's directory is its path cut at the last slash, or at the bundle it is inside; "./name" is the working one.
TEST(ApplicationPath, ProgramInsideABundleNamesTheBundle) {
    const struct {
        const char* program;
        std::string directory;
    } cases[] = {
        {"/a/b/demo.app/demo", "/a/b/demo.app"}, {"/a/b/demo.app/Contents/Linux/demo", "/a/b/demo.app"},
        {"build/kestrel.app/kestrel", "build/kestrel.app"}, {"/opt/tools/demo", "/opt/tools"}, {"/demo", "/"},
        {"b/demo", "b"}, {"/b/demo", "/b"}, {"./demo", Cwd()}, {"./bin/demo", "./bin"},
    };
    for (const auto& c : cases) EXPECT_EQ(LinuxApplication::FindApplicationPath(c.program), c.directory) << c.program;
}

// The first directory of PATH that holds the program is its directory; a candidate opened as descriptor 0 is
// closed again.
TEST(ApplicationPath, BareNameIsSearchedInPath) {
    TempTree tree;
    tree.MakeDir("usr/bin");
    tree.MakeDir("opt/x");
    tree.MakeDir("opt/y");
    tree.Write("opt/x/demo", "#!");
    tree.Write("opt/y/demo", "#!");
    const std::string path = tree.Path() + "/usr/bin:" + tree.Path() + "/opt/x:" + tree.Path() + "/opt/y";
    ScopedEnv env("PATH", path.c_str());
    EXPECT_EQ(LinuxApplication::FindApplicationPath("demo"), tree.Path() + "/opt/x");
    EXPECT_EQ(Failure([] { LinuxApplication::FindApplicationPath("absent-program"); }), "BS::CannotOpen");
    const int input = dup(0);
    ASSERT_GE(input, 0);
    close(0);  // the lowest free descriptor: each candidate opens as 0
    Catch([] { LinuxApplication::FindApplicationPath("demo"); });
    const bool leftOpen = fcntl(0, F_GETFD) != -1;
    dup2(input, 0);
    close(input);
    EXPECT_FALSE(leftOpen);
    ScopedEnv unset("PATH", nullptr);
    EXPECT_EQ(Failure([] { LinuxApplication::FindApplicationPath("demo"); }), "BS::CannotOpen");
}

TEST(ApplicationPath, TheBundlePathLosesItsTrailingSlashesButNotTheRoot) {
    const std::string kept = Bundle::Path();
    Bundle::SetPath("a/");
    EXPECT_EQ(Bundle::Path(), "a");
    Bundle::SetPath("/opt/show.app///");
    EXPECT_EQ(Bundle::DataTreePath(), "/opt/show.app/FxData");
    Bundle::SetPath("//");
    EXPECT_EQ(Bundle::Path(), "/");
    Bundle::SetPath(kept);
}

// A program in a scratch tree, whose HOME is the tree.
class Application : public ::testing::Test {
protected:
    TempTree mTree;
    ScopedEnv mHome{"HOME", mTree.Path().c_str()};
    std::string mProgram = mTree.Path() + "/demo";
    char* mArgv[2] = {mProgram.data(), nullptr};
};

TEST_F(Application, FindsItsDirectoryInsideItsBundle) {
    mTree.MakeDir("show.app");
    mProgram = mTree.Path() + "/show.app/show";
    mArgv[0] = mProgram.data();
    LinuxApplication app(1, mArgv);
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), mTree.Path() + "/show.app/");
}

TEST_F(Application, AHomeThatCannotBeOpenedIsNamedWithTheCause) {
    const std::string missing = mTree.Path() + "/no-home";
    ScopedEnv home("HOME", missing.c_str());
    EXPECT_EQ(Failure([&] { LinuxApplication app(1, mArgv); }), "BS::CannotOpen " + missing);
}
