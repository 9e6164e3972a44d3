// The Debian package, built by the test suite's setup step into KESTREL_PACKAGE_DIR, checked with Debian's own tools.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "InstalledShow.h"

namespace fs = std::filesystem;

namespace {

std::string PackagePath() {
    for (const auto& entry : fs::directory_iterator(KESTREL_PACKAGE_DIR))
        if (entry.path().extension() == ".deb") return entry.path().string();
    return "";
}

std::string Field(const std::string& deb, const std::string& name) {
    const std::string value = RunShell("dpkg-deb -f " + Quoted(deb) + " " + name).out;
    return value.substr(0, value.find('\n'));
}

// dpkg takes no turn waiting for its lock: the command is tried again while the lock is what stops it.
std::string WhenDpkgIsFree(const std::string& command) {
    return "for i in $(seq 60); do e=$(" + command +
           " 2>&1 >/dev/null); s=$?; case \"$e\" in *lock*) sleep 2 ;; *) break ;; esac; done; "
           "printf '%s' \"$e\" >&2; exit $s";
}

// The names in a relation field, versions and alternatives' bars left out.
std::set<std::string> RelationNames(const std::string& field) {
    std::set<std::string> names;
    const std::regex name("(^|[,|])\\s*([a-z0-9][a-z0-9+.-]+)");
    for (std::sregex_iterator i(field.begin(), field.end(), name), end; i != end; ++i) names.insert((*i)[2]);
    return names;
}

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The package, unpacked once for all its tests.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sDeb = PackagePath();
        sUnpacked = new TempTree;
        if (sDeb.empty()) return;
        EXPECT_EQ(RunShell("dpkg -x " + Quoted(sDeb) + " " + Quoted(sUnpacked->Path())).status, 0);
        for (const auto& entry : fs::recursive_directory_iterator(sUnpacked->Path()))
            if (!entry.is_directory()) sFiles.insert("/" + fs::relative(entry.path(), sUnpacked->Path()).string());
    }
    static void TearDownTestSuite() {
        delete sUnpacked;
        sUnpacked = nullptr;
    }
    void SetUp() override { ASSERT_NE(sDeb, "") << "no package in " KESTREL_PACKAGE_DIR; }
    static std::string Unpacked(const std::string& path) { return sUnpacked->Path() + path; }

    static std::string sDeb;
    static TempTree* sUnpacked;
    static std::set<std::string> sFiles;  // paths in the package, directories left out
};

std::string Package::sDeb;
TempTree* Package::sUnpacked = nullptr;
std::set<std::string> Package::sFiles;

}  // namespace

TEST_F(Package, LintianFindsNoErrorAndNoWarning) {
    const ProgramRun lintian = RunShell("lintian " + Quoted(sDeb));
    ASSERT_NE(lintian.status, 127) << "lintian is missing: scripts/setup.sh package installs it";
    for (const std::string& line : Lines(lintian.out)) {
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
        EXPECT_NE(line.rfind("W: ", 0), 0u) << line;
    }
    EXPECT_EQ(lintian.status, 0) << lintian.out << lintian.err;
}

TEST_F(Package, ItHoldsTheProgramItsDataAndWhatADesktopNeedsAndNothingElse) {
    std::set<std::string> expected = {"/usr/bin/kestrel",
                                      "/usr/share/applications/" KESTREL_APP_ID ".desktop",
                                      "/usr/share/metainfo/" KESTREL_APP_ID ".metainfo.xml",
                                      "/usr/share/man/man1/kestrel.1.gz",
                                      "/usr/share/doc/kestrel/copyright",
                                      "/usr/share/doc/kestrel/changelog.gz"};
    for (const std::string& file : BundleDataFiles()) expected.insert("/usr/share/kestrel/" + file);
    for (int size : kIconSizes)
        expected.insert("/usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                        "/apps/kestrel.png");
    EXPECT_EQ(sFiles, expected);
    const std::string changelog = RunShell("gzip -dc " + Quoted(Unpacked("/usr/share/doc/kestrel/changelog.gz"))).out;
    EXPECT_EQ(changelog.rfind("kestrel (" + Field(sDeb, "Version") + ") ", 0), 0u) << changelog;
}

// Every library the program loads, as the loader finds it on this machine, belongs to a package it depends on.
TEST_F(Package, ItDependsOnThePackageOfEveryLibraryTheProgramLoads) {
    const std::set<std::string> depends = RelationNames(Field(sDeb, "Depends"));
    EXPECT_EQ(RelationNames(Field(sDeb, "Recommends")).count("ffmpeg"), 1u);
    const std::string program = Quoted(Unpacked("/usr/bin/kestrel"));
    const std::string resolved = RunShell("ldd " + program).out;
    const std::regex library("\\(NEEDED\\).*\\[(.+)\\]");
    int libraries = 0;
    for (const std::string& line : Lines(RunShell("readelf -d " + program).out)) {
        std::smatch match;
        if (!std::regex_search(line, match, library)) continue;
        ++libraries;
        const std::string arrow = "\t" + match[1].str() + " => ";
        const size_t at = resolved.find(arrow);
        ASSERT_NE(at, std::string::npos) << match[1];
        const size_t from = at + arrow.size();
        const std::string path = resolved.substr(from, resolved.find(' ', from) - from);
        // dpkg may know the library under /usr or not.
        const ProgramRun owner =
            RunShell("{ dpkg -S '" + path + "' || dpkg -S '/usr" + path + "'; } 2>/dev/null | head -n 1 | cut -d: -f1");
        const std::string package = owner.out.substr(0, owner.out.find('\n'));
        EXPECT_EQ(depends.count(package), 1u) << path << " from '" << package << "'";
    }
    EXPECT_GE(libraries, 5);
}

TEST_F(Package, TheDesktopEntryAndTheMetadataValidate) {
    const std::string desktop = Unpacked("/usr/share/applications/" KESTREL_APP_ID ".desktop");
    const ProgramRun entry = RunShell("desktop-file-validate " + Quoted(desktop));
    EXPECT_EQ(entry.status, 0);
    EXPECT_EQ(entry.out + entry.err, "");
    const std::string text = RunShell("cat " + Quoted(desktop)).out;
    // Started with no option, the show opens a window when there is a display.
    EXPECT_TRUE(Contains(text, "\nExec=kestrel\n")) << text;
    EXPECT_TRUE(Contains(text, "\nIcon=kestrel\n")) << text;
    const std::string metainfo = Unpacked("/usr/share/metainfo/" KESTREL_APP_ID ".metainfo.xml");
    const ProgramRun metadata = RunShell("appstreamcli validate --no-net " + Quoted(metainfo));
    EXPECT_EQ(metadata.status, 0) << metadata.out << metadata.err;
    EXPECT_TRUE(Contains(RunShell("cat " + Quoted(metainfo)).out,
                         "<launchable type=\"desktop-id\">" KESTREL_APP_ID ".desktop</launchable>"));
}

// The page shows every option of the program's --help, and man renders it without a warning.
TEST_F(Package, TheManualPageRendersCleanlyAndNamesEveryOptionOfTheHelp) {
    const ProgramRun page = RunShell("MANWIDTH=80 man --warnings -E UTF-8 -l " +
                                     Quoted(Unpacked("/usr/share/man/man1/kestrel.1.gz")) + " | col -b");
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.err, "");
    const ProgramRun help = RunShell(Quoted(KESTREL_BUNDLE "/kestrel") + " --help");
    const std::regex option("^  (-[a-z]|--[a-z-]+)(, --[a-z-]+)?( [A-Z,.]+)?  ");
    int options = 0;
    for (const std::string& line : Lines(help.out)) {
        std::smatch match;
        if (!std::regex_search(line, match, option)) continue;
        ++options;
        // A tagged paragraph's tag starts a line, at the indent of the text.
        const std::string tag = "       " + match[0].str().substr(2, match[0].length() - 4);
        bool found = false;
        for (const std::string& shown : Lines(page.out))
            found = found || shown == tag || shown.rfind(tag + "  ", 0) == 0;
        EXPECT_TRUE(found) << tag;
    }
    EXPECT_GE(options, 10);
    EXPECT_TRUE(Contains(page.out, "\nNAME\n       kestrel - ")) << page.out.substr(0, 400);
}

// As root (CI): installed with dpkg, started by name, removed without a trace. Otherwise, or where the machine's
// owner installed it (theirs to keep), started from the unpacked package.
TEST_F(Package, InstalledItPlaysByNameAndRemovedItLeavesNothing) {
    TempTree out;
    const bool installed =
        RunShell("dpkg-query -W -f='${Status}' kestrel 2>/dev/null | grep -q ' installed'").status == 0;
    if (geteuid() != 0 || installed) {
        const ProgramRun run = RunShell("cd / && " + Quoted(Unpacked("/usr/bin/kestrel")) + " " + kShotArguments +
                                        " " + Quoted(out.Path()));
        ASSERT_EQ(run.status, 0) << run.err.substr(0, 3000);
        ExpectShotLikeTheBuildTrees(out.Path());
        return;
    }
    // Folders the package brings that were not there before.
    std::set<std::string> newFolders;
    for (const auto& entry : fs::recursive_directory_iterator(sUnpacked->Path())) {
        const std::string path = "/" + fs::relative(entry.path(), sUnpacked->Path()).string();
        if (entry.is_directory() && !fs::exists(path)) newFolders.insert(path);
    }
    const ProgramRun install = RunShell(WhenDpkgIsFree("dpkg -i " + Quoted(sDeb)));
    const ProgramRun run = RunShell("cd " + Quoted(out.Path()) + " && PATH=/usr/local/bin:/usr/bin:/bin kestrel " +
                                    kShotArguments + " " + Quoted(out.Path()));
    const ProgramRun remove = RunShell(WhenDpkgIsFree("dpkg --purge kestrel"));
    EXPECT_EQ(install.status, 0) << install.out << install.err;
    EXPECT_EQ(run.status, 0) << run.err.substr(0, 3000);
    ExpectShotLikeTheBuildTrees(out.Path());
    EXPECT_EQ(remove.status, 0) << remove.out << remove.err;
    for (const std::string& file : sFiles) EXPECT_FALSE(fs::exists(file)) << file;
    for (const std::string& folder : newFolders) EXPECT_FALSE(fs::exists(folder)) << folder;
    EXPECT_EQ(RunShell("ls /var/lib/dpkg/info/ | grep '^kestrel[.:]'").out, "");
    EXPECT_EQ(RunShell("dpkg-query -W -f='${Status}' kestrel 2>/dev/null | grep ' installed'").out, "");
}
