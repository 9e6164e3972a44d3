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

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : mName(name) {
        const char* old = getenv(name);
        mHad = old != nullptr;
        if (mHad) mOld = old;
        if (value) setenv(name, value, 1); else unsetenv(name);
    }
    ~ScopedEnv() {
        if (mHad) setenv(mName, mOld.c_str(), 1); else unsetenv(mName);
    }

private:
    const char* mName;
    bool mHad = false;
    std::string mOld;
};

std::string Cwd() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer);
}

}  // namespace

TEST(ApplicationPath, ProgramInsideABundleNamesTheBundle) {
    EXPECT_EQ(LinuxApplication::FindApplicationPath("/a/b/demo.app/demo"), "/a/b/demo.app");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("/a/b/demo.app/Contents/Linux/demo"), "/a/b/demo.app");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("build/kestrel.app/kestrel"), "build/kestrel.app");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("/opt/tools/demo"), "/opt/tools");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("/demo"), "/");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("b/demo"), "b");
    EXPECT_EQ(LinuxApplication::FindApplicationPath("/b/demo"), "/b");
}

TEST(ApplicationPath, NameInTheCurrentDirectoryIsTheWorkingDirectory) {
    EXPECT_EQ(LinuxApplication::FindApplicationPath("./demo"), Cwd());
    // Two slashes: an ordinary relative path, cut at its last slash.
    EXPECT_EQ(LinuxApplication::FindApplicationPath("./bin/demo"), "./bin");
}

// The first directory of PATH that holds the program is its directory.
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
    ScopedEnv unset("PATH", nullptr);
    EXPECT_EQ(Catch([] { LinuxApplication::FindApplicationPath("demo"); }),
              FileFailure("CannotOpen", "Cannot open application directory, (PATH is not set)", ""));
}

TEST(ApplicationPath, ASearchThatOpensTheStandardInputsSlotClosesItAgain) {
    TempTree tree;
    tree.MakeDir("a");
    tree.MakeDir("b");
    tree.Write("a/demo", "#!");
    tree.Write("b/demo", "#!");
    const std::string path = tree.Path() + "/a:" + tree.Path() + "/b";
    ScopedEnv env("PATH", path.c_str());
    const int input = dup(0);
    ASSERT_GE(input, 0);
    close(0);  // the lowest free descriptor: each candidate opens as 0
    Catch([] { LinuxApplication::FindApplicationPath("demo"); });
    const bool leftOpen = fcntl(0, F_GETFD) != -1;
    dup2(input, 0);
    close(input);
    EXPECT_FALSE(leftOpen);
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

TEST(Application, MissingHomeIsReportedBeforeTheProgramIsLookedFor) {
    ScopedEnv home("HOME", nullptr);
    ScopedEnv path("PATH", nullptr);  // would fail later, with another message
    char name[] = "demo";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, argv); }),
              FileFailure("CannotOpen", "Cannot open preferences and documents directory, (HOME is not set)", ""));
}

TEST(Application, FindsItsFourDirectories) {
    TempTree tree;
    tree.MakeDir("show.app");
    tree.MakeDir("home");
    const std::string program = tree.Path() + "/show.app/show";
    ScopedEnv home("HOME", (tree.Path() + "/home").c_str());
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};
    LinuxApplication app(1, argv);
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), tree.Path() + "/show.app/");
    EXPECT_EQ(app.GetDocumentsDirectory().GetPath(), tree.Path() + "/home/");
    EXPECT_EQ(app.GetRootDirectory().GetPath(), "/");
    EXPECT_EQ(app.GetCurrentDirectory().GetPath(), Cwd() + "/");
    EXPECT_TRUE(app.PollEvents());
    const char* login = getlogin();
    EXPECT_EQ(app.GetUserName(), login ? login : "");
}

TEST(Application, SingletonIsRequiredBeforeUse) {
    BS::Application* saved = BS::gApplication;
    BS::gApplication = nullptr;
    EXPECT_EQ(Catch([] { BS::Application::GetApplication(); }),
              PlainFailure("NullPointer", "There is no instance of the singleton class BS::Application"));
    BS::gApplication = saved;
}

TEST(ApplicationPath, AnUnreadableWorkingDirectoryIsReported) {
    SystemFaults::Scope faults;
    SystemFaults::Fail(SystemFaults::kGetcwd, ENOENT);
    EXPECT_EQ(Catch([] { LinuxApplication::FindApplicationPath("./demo"); }),
              FileFailure("CannotOpen", "Cannot open current working directory.", ""));
}

TEST(Application, AnUnreadableWorkingDirectoryIsReported) {
    SystemFaults::Scope faults;
    TempTree tree;
    ScopedEnv home("HOME", tree.Path().c_str());
    char name[] = "/opt/show/demo";
    char* argv[] = {name, nullptr};
    SystemFaults::Fail(SystemFaults::kGetcwd, EACCES);
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, argv); }),
              FileFailure("CannotOpen", "Cannot open current working directory.", ""));
}

TEST(Application, AHomeThatCannotBeOpenedIsNamedWithTheCause) {
    TempTree tree;
    const std::string missing = tree.Path() + "/no-home";
    ScopedEnv home("HOME", missing.c_str());
    char name[] = "/opt/show/demo";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(Catch([&] { LinuxApplication app(1, argv); }),
              FileFailure("CannotOpen",
                          "Cannot open preferences and documents directory, (HOME is '" + missing + "': " +
                              strerror(ENOENT) + ")",
                          missing));
}

TEST(Application, AnEmptyHomeIsTheRoot) {
    TempTree tree;
    tree.MakeDir("show");
    ScopedEnv home("HOME", "");
    std::string program = tree.Path() + "/show/demo";
    char* argv[] = {program.data(), nullptr};
    LinuxApplication app(1, argv);
    EXPECT_EQ(app.GetDocumentsDirectory().GetPath(), "/");
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), tree.Path() + "/show/");
}

TEST(Application, WithoutArgumentsTheProgramIsLookedForInPath) {
    TempTree tree;
    tree.MakeDir("bin");
    tree.MakeDir("home");
    ScopedEnv path("PATH", (tree.Path() + "/absent:" + tree.Path() + "/bin").c_str());
    ScopedEnv home("HOME", (tree.Path() + "/home").c_str());
    char name[] = "/opt/show.app/show";
    char* argv[] = {name, nullptr};
    // No arguments counted: the one given is not read, and the empty name is
    // found as the first directory of PATH that opens.
    LinuxApplication app(0, argv);
    EXPECT_EQ(app.GetApplicationDirectory().GetPath(), tree.Path() + "/bin/");
    LinuxApplication none(1, nullptr);
    EXPECT_EQ(none.GetApplicationDirectory().GetPath(), tree.Path() + "/bin/");
}

TEST(Application, MakingItMeasuresTheTickFrequency) {
    SystemFaults::Scope faults;
    TempTree tree;
    ScopedEnv home("HOME", tree.Path().c_str());
    const uint64_t kept = BS::HardwareInfo::msTickCounterFrequency;
    // 0.5 s of wall clock and 250000000 ticks over the measurement.
    SystemFaults::FixClocks(0, 1000000000000000, 500000, 1000, 250000000);
    std::string program = tree.Path() + "/demo";
    char* argv[] = {program.data(), nullptr};
    LinuxApplication app(1, argv);
    EXPECT_EQ(BS::HardwareInfo::GetTickFrequency(), 500000000u);
    BS::HardwareInfo::msTickCounterFrequency = kept;
}

TEST(Application, PollingStopsOnceTerminatedAndExitUsesTheCode) {
    TempTree tree;
    ScopedEnv home("HOME", tree.Path().c_str());
    std::string program = tree.Path() + "/demo";
    char* argv[] = {program.data(), nullptr};
    LinuxApplication app(1, argv);
    EXPECT_FALSE(gAppTerminated);
    EXPECT_TRUE(app.PollEvents());
    gAppTerminated = true;
    EXPECT_FALSE(app.PollEvents());
    gAppTerminated = false;
    EXPECT_EXIT(app.ExitProcess(7), testing::ExitedWithCode(7), "");
}

TEST(Application, NoArgumentsUntilTheEntryGivesThem) {
    // Nothing in a test program is its entry: what a library reads before
    // one has run is the empty list.
    EXPECT_EQ(gArgC, 0);
    EXPECT_EQ(gArgV, nullptr);
    EXPECT_TRUE(gArguments.empty());
}
