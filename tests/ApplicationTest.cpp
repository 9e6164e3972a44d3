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
    EXPECT_EQ(Catch([] { LinuxApplication::FindApplicationPath("absent-program"); }),
              FileFailure("CannotOpen", "Unable to open application path!", ""));
    const int input = dup(0);
    ASSERT_GE(input, 0);
    close(0);  // the lowest free descriptor: each candidate opens as 0
    Catch([] { LinuxApplication::FindApplicationPath("demo"); });
    const bool leftOpen = fcntl(0, F_GETFD) != -1;
    dup2(input, 0);
    close(input);
    EXPECT_FALSE(leftOpen);
    ScopedEnv unset("PATH", nullptr);
    EXPECT_EQ(Catch([] { LinuxApplication::FindApplicationPath("demo"); }),
              FileFailure("CannotOpen", "Cannot open application directory, (PATH is not set)", ""));
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

TEST_F(Application, MissingHomeIsReportedBeforeTheProgramIsLookedFor) {
    ScopedEnv home("HOME", nullptr);
    ScopedEnv path("PATH", nullptr);  // would fail later, with another message
    char name[] = "demo";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, argv); }),
              FileFailure("CannotOpen", "Cannot open preferences and documents directory, (HOME is not set)", ""));
}

TEST_F(Application, FindsItsFourDirectories) {
    mTree.MakeDir("show.app");
    mProgram = mTree.Path() + "/show.app/show";
    mArgv[0] = mProgram.data();
    LinuxApplication app(1, mArgv);
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), mTree.Path() + "/show.app/");
    EXPECT_EQ(app.GetDocumentsDirectory().GetPath(), mTree.Path() + "/");
    EXPECT_EQ(app.GetRootDirectory().GetPath(), "/");
    EXPECT_EQ(app.GetCurrentDirectory().GetPath(), Cwd() + "/");
}

TEST_F(Application, SingletonIsRequiredBeforeUse) {
    BS::Application* saved = BS::gApplication;
    BS::gApplication = nullptr;
    EXPECT_EQ(Catch([] { BS::Application::GetApplication(); }),
              PlainFailure("NullPointer", "There is no instance of the singleton class BS::Application"));
    BS::gApplication = saved;
}

TEST_F(Application, AnUnreadableWorkingDirectoryIsReported) {
    SystemFaults::Scope faults;
    SystemFaults::Fail(SystemFaults::kGetcwd, EACCES);
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, mArgv); }),
              FileFailure("CannotOpen", "Cannot open current working directory.", ""));
}

TEST_F(Application, AHomeThatCannotBeOpenedIsNamedWithTheCause) {
    const std::string missing = mTree.Path() + "/no-home";
    ScopedEnv home("HOME", missing.c_str());
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, mArgv); }),
              FileFailure("CannotOpen",
                          "Cannot open preferences and documents directory, (HOME is '" + missing + "': " +
                              strerror(ENOENT) + ")",
                          missing));
}

TEST_F(Application, AnEmptyHomeIsTheRoot) {
    ScopedEnv home("HOME", "");
    LinuxApplication app(1, mArgv);
    EXPECT_EQ(app.GetDocumentsDirectory().GetPath(), "/");
}

TEST_F(Application, WithoutArgumentsTheProgramIsLookedForInPath) {
    mTree.MakeDir("bin");
    ScopedEnv path("PATH", (mTree.Path() + "/absent:" + mTree.Path() + "/bin").c_str());
    char name[] = "/opt/show.app/show";
    char* argv[] = {name, nullptr};
    // No arguments counted: the one given is not read, and the empty name is the first directory of PATH that opens.
    LinuxApplication app(0, argv);
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), mTree.Path() + "/bin/");
    LinuxApplication none(1, nullptr);
    EXPECT_EQ(none.GetApplicationDirectory().GetPath(), mTree.Path() + "/bin/");
}

TEST_F(Application, MakingItMeasuresTheTickFrequency) {
    SystemFaults::Scope faults;
    const uint64_t kept = BS::HardwareInfo::msTickCounterFrequency;
    // 0.5 s of wall clock and 250000000 ticks over the measurement.
    SystemFaults::FixClocks(0, 1000000000000000, 500000, 1000, 250000000);
    LinuxApplication app(1, mArgv);
    EXPECT_EQ(BS::HardwareInfo::GetTickFrequency(), 500000000u);
    BS::HardwareInfo::msTickCounterFrequency = kept;
}

TEST_F(Application, PollingStopsOnceTerminatedAndExitUsesTheCode) {
    LinuxApplication app(1, mArgv);
    EXPECT_TRUE(app.PollEvents());
    gAppTerminated = true;
    EXPECT_FALSE(app.PollEvents());
    gAppTerminated = false;
    EXPECT_EXIT(app.ExitProcess(7), testing::ExitedWithCode(7), "");
}

// Nothing in a test program is its entry: a library reading the arguments before one has run finds none.
TEST_F(Application, NoArgumentsUntilTheEntryGivesThem) { EXPECT_EQ(gArgC, 0); }
