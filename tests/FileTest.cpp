#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "CaughtError.h"
#include "SystemFaults.h"
#include "TempTree.h"

using BS::Directory;
using BS::File;
using BS::PosixDirectory;

namespace {

Directory Open(const std::string& path) { return Directory::Adopt(new PosixDirectory(path)); }

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The permission bits a path has, as stat sees them.
mode_t ModeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The descriptors this process holds, counted in /proc.
int OpenDescriptors() {
    int count = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++count;
        closedir(d);
    }
    return count;
}

// Sets the creation mask for one scope, so that a created mode shows whole.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : mOld(umask(mask)) {}
    ~ScopedUmask() { umask(mOld); }

private:
    mode_t mOld;
};

using SystemFaults::Fail;

}  // namespace

// Failures the system really gives, each its error naming the path.
TEST(Files, RealFailuresBecomeTheirErrorsNamingThePath) {
    TempTree tree;
    tree.MakeDir("scenes");
    const std::string missing = tree.Path() + "/nothing.mas", scenes = tree.Path() + "/scenes";
    const std::string absent = tree.Path() + "/absent";
    Directory dir = Open(tree.Path());
    EXPECT_EQ(Catch([&] { delete dir.OpenFile("nothing.mas", File::kRead); }),
              FileFailure("NotFound", "The file " + missing + " could not be opened as it does not exist.", missing));
    EXPECT_EQ(Catch([&] { delete dir.OpenFile("scenes", File::kRead); }),
              FileFailure("AccessDenied", "Access denied while opening file '" + scenes + "'.", scenes));
    EXPECT_EQ(Catch([&] { Open(absent); }),
              FileFailure("CannotOpen", "Unable to open directory " + absent + ".", absent));
    // Nobody, not even root, creates files at the top of sysfs.
    EXPECT_EQ(Catch([&] { delete Open("/sys").CreateFile("kestrel-test", File::kReadWrite); }),
              FileFailure("AccessDenied", "In PosixFile::CreateFile(): Access denied while creating '/sys/kestrel-test'.",
                          "/sys/kestrel-test"));
    std::unique_ptr<File> f(dir.CreateFile("data.bin", File::kReadWrite));
    EXPECT_EQ(Catch([&] { f->Read(nullptr, 1); }),
              PlainFailure("NullPointer", "Memoryblock given to PosixFile::Read is 0, cannot read data."));
    EXPECT_EQ(Catch([&] { f->Write(nullptr, 1); }),
              PlainFailure("NullPointer", "Memoryblock given to PosixFile::Write is 0, cannot read data."));
}

TEST(Files, SizeQueryKeepsThePositionAndSetPosClampsAtTheEnd) {
    TempTree tree;
    tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    char half[5];
    ASSERT_EQ(f->Read(half, 5), 1u);
    EXPECT_EQ(f->GetSize(), 10u);
    EXPECT_EQ(f->GetPos(), 5u);
    f->SetPos(1000);
    EXPECT_EQ(f->GetPos(), 10u);
    f->SetPos(2);
    EXPECT_EQ(f->GetPos(), 2u);
}

TEST(Files, ReadAnswersOneOnlyForAFullTransfer) {
    TempTree tree;
    tree.Write("data.bin", "abcdef");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    char buffer[16] = {};
    f->SetPos(2);
    EXPECT_EQ(f->Read(buffer, 4), 1u);
    f->SetPos(2);
    EXPECT_EQ(f->Read(buffer, 10), 0u);
    EXPECT_EQ(std::string(buffer, 4), "cdef");  // the bytes that were there arrive
}

// Load reads from where the file stands: the whole file from its start.
TEST(Files, LoadReadsFromThePosition) {
    TempTree tree;
    tree.Write("scene.mas", "*3DSMAX");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("scene.mas", File::kRead));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f->Load().get()), 7), "*3DSMAX");
    f->SetPos(3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f->Load().get()), 4), "SMAX");
}

TEST(Files, NamesPathsAndVisibility) {
    TempTree tree;
    tree.MakeDir("data");
    tree.Write("data/a.mas", "x");
    tree.Write("data/.hidden", "x");
    Directory data = Open(tree.Path() + "/data");
    EXPECT_EQ(data.GetPath(), tree.Path() + "/data/");
    EXPECT_EQ(data.GetName(), "data");
    std::unique_ptr<File> a(data.OpenFile("a.mas", File::kRead));
    EXPECT_EQ(a->GetPath(), tree.Path() + "/data/");
    EXPECT_EQ(a->GetName(), "a.mas");
    EXPECT_TRUE(a->IsVisible());
    std::unique_ptr<File> hidden(data.OpenFile(".hidden", File::kRead));
    EXPECT_FALSE(hidden->IsVisible());
    EXPECT_EQ(a->GetDirectory().GetPath(), tree.Path() + "/data/");
    EXPECT_TRUE(data.IsVisible());
    tree.MakeDir("data/.cache");
    Directory cache = data.OpenDirectory(".cache");
    EXPECT_EQ(cache.GetName(), ".cache");
    EXPECT_FALSE(cache.IsVisible());
}

TEST(Directories, HandlesOnOnePathShareOneStreamUntilTheLastGoes) {
    TempTree tree;
    tree.Write("listed.txt", "x");
    const std::string path = tree.Path() + "/";
    const int before = PosixDirectory::OpenStreamCount();
    const int descriptors = OpenDescriptors();
    {
        Directory first = Open(path);
        {
            Directory second = first;  // a copy opens its own object on the same path
            EXPECT_EQ(PosixDirectory::StreamUsers(path), 2);
            EXPECT_EQ(PosixDirectory::OpenStreamCount(), before + 1);
            EXPECT_EQ(OpenDescriptors(), descriptors + 1);
        }
        EXPECT_EQ(PosixDirectory::StreamUsers(path), 1);
        EXPECT_EQ(PosixDirectory::OpenStreamCount(), before + 1);
        // The stream stays open for the first (reading a closed one would hang).
        ASSERT_EQ(OpenDescriptors(), descriptors + 1);
        EXPECT_TRUE(Contains(first.GetFileListing(), "listed.txt"));
    }
    EXPECT_EQ(PosixDirectory::StreamUsers(path), 0);
    EXPECT_EQ(PosixDirectory::OpenStreamCount(), before);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST(Directories, AssignedHandlesOpenTheOthersPath) {
    TempTree tree;
    tree.MakeDir("a");
    tree.MakeDir("b");
    Directory a = Open(tree.Path() + "/a");
    Directory b = Open(tree.Path() + "/b");
    b = a;
    EXPECT_EQ(b.GetPath(), tree.Path() + "/a/");
    Directory& same = b;
    b = same;
    EXPECT_EQ(b.GetPath(), tree.Path() + "/a/");
    Directory moved = Open(tree.Path() + "/b");
    moved = std::move(a);
    EXPECT_EQ(moved.GetPath(), tree.Path() + "/a/");
    EXPECT_EQ(PosixDirectory::StreamUsers(tree.Path() + "/b"), 0);
}

TEST(Directories, AssigningFromAHandleWhoseDirectoryIsGoneLeavesAnEmptyHandle) {
    TempTree tree;
    tree.MakeDir("a");
    tree.MakeDir("b");
    Directory a = Open(tree.Path() + "/a");
    Directory b = Open(tree.Path() + "/b");
    ASSERT_EQ(rmdir((tree.Path() + "/a").c_str()), 0);
    // The copy opens the path anew, with its slash: it fails, after b let go of its own.
    EXPECT_THROW(b = a, BS::CannotOpen);
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(PosixDirectory::StreamUsers(tree.Path() + "/b"), 0);
    b = Open(tree.Path() + "/b");
    EXPECT_EQ(b.GetName(), "b");
}

TEST(Directories, ParentOfNestedAndRootPaths) {
    TempTree tree;
    tree.MakeDir("a/b");
    EXPECT_EQ(Open(tree.Path() + "/a/b").OpenParentDirectory().GetPath(), tree.Path() + "/a/");
    EXPECT_EQ(Open("/").OpenParentDirectory().GetPath(), "/");
    EXPECT_EQ(Open("").GetPath(), "/");
}

TEST(Directories, ListingsSeparateFilesFromDirectories) {
    TempTree tree;
    tree.MakeDir("sub");
    tree.Write("one.txt", "1");
    Directory dir = Open(tree.Path());
    const auto files = dir.GetFileListing();
    const auto dirs = dir.GetDirectoryListing();
    EXPECT_TRUE(Contains(files, "one.txt"));
    EXPECT_FALSE(Contains(files, "sub"));
    EXPECT_TRUE(Contains(dirs, "sub"));
    EXPECT_TRUE(Contains(dirs, "."));
    EXPECT_TRUE(Contains(dirs, ".."));
    EXPECT_FALSE(Contains(dirs, "one.txt"));
}

TEST(Directories, CreateAndRemoveFilesAndTrees) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    delete dir.CreateFile("new.txt", File::kReadWrite);
    EXPECT_THROW(delete dir.CreateFile("new.txt", File::kReadWrite), BS::NotUnique);
    dir.RemoveFile("new.txt");
    EXPECT_THROW(dir.RemoveFile("new.txt"), BS::NotFound);
    EXPECT_THROW(delete dir.CreateFile("no/such/dir.txt", File::kReadWrite), BS::NotFound);

    Directory made = dir.CreateDirectory("made");
    EXPECT_THROW(dir.CreateDirectory("made"), BS::NotUnique);
    made.CreateDirectory("inner");
    tree.Write("made/inner/f.txt", "x");
    tree.Write("made/g.txt", "x");
    tree.Write("made/.hidden", "x");
    tree.MakeDir("made/.cache");
    tree.Write("made/.cache/.f", "x");
    EXPECT_THROW(dir.RemoveDirectory("made", false), BS::NotEmpty);
    dir.RemoveDirectory("made", true);
    struct stat st;
    EXPECT_NE(stat((tree.Path() + "/made").c_str(), &st), 0);
    EXPECT_THROW(dir.RemoveDirectory("made", false), BS::NotFound);
}

TEST(Directories, RemovingATreeRemovesLinksNotWhatTheyPointTo) {
    TempTree tree;
    tree.MakeDir("outside/deep");
    tree.Write("outside/keep.txt", "x");
    tree.Write("outside/deep/keep.txt", "x");
    tree.MakeDir("doomed/sub");
    tree.Write("doomed/sub/f.txt", "x");
    ASSERT_EQ(symlink((tree.Path() + "/outside").c_str(), (tree.Path() + "/doomed/link").c_str()), 0);
    ASSERT_EQ(symlink((tree.Path() + "/outside").c_str(), (tree.Path() + "/doomed/sub/link").c_str()), 0);
    ASSERT_EQ(symlink((tree.Path() + "/outside").c_str(), (tree.Path() + "/alias").c_str()), 0);
    Directory dir = Open(tree.Path());
    dir.RemoveDirectory("doomed", true);
    dir.RemoveDirectory("alias", true);
    struct stat st;
    EXPECT_NE(lstat((tree.Path() + "/doomed").c_str(), &st), 0);
    EXPECT_NE(lstat((tree.Path() + "/alias").c_str(), &st), 0);
    EXPECT_EQ(stat((tree.Path() + "/outside/keep.txt").c_str(), &st), 0);
    EXPECT_EQ(stat((tree.Path() + "/outside/deep/keep.txt").c_str(), &st), 0);
}

TEST(Directories, UserChoiceIsNotProvided) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    EXPECT_FALSE(dir.UserOpenDirectory("pick").IsValid());
    EXPECT_EQ(dir.UserOpenFile("pick", false, File::kRead), nullptr);
}

TEST(Files, EachOpenFailureBecomesItsErrorNamingThePath) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("present.bin", "abc");
    Directory dir = Open(tree.Path());
    const auto denied = FileFailure("AccessDenied", "Access denied while opening file '" + full + "'.", full);
    const auto tooMany =
        PlainFailure("OutOfMemory", "Maximum number of open files reached, cannot create file " + full + ".");
    const struct {
        int error;
        CaughtError expected;
    } cases[] = {
        {ENOENT, FileFailure("NotFound", "The file " + full + " could not be opened as it does not exist.", full)},
        {EACCES, denied},
        {EISDIR, denied},
        {EROFS, denied},
        {ENFILE, tooMany},
        {EMFILE, tooMany},
        {EIO, FileFailure("CannotOpen", "Unable to open file " + full + ".", full)},
        {ELOOP, FileFailure("CannotOpen", "Unable to open file " + full + ".", full)},
    };
    for (const auto& c : cases) {
        Fail(SystemFaults::kFopen, c.error);
        EXPECT_EQ(Catch([&] { delete dir.OpenFile("present.bin", File::kRead); }), c.expected) << strerror(c.error);
    }
    std::unique_ptr<File> f(dir.OpenFile("present.bin", File::kRead));  // the failures were the fakes'
    EXPECT_EQ(f->GetSize(), 3u);
}

TEST(Files, PositionQueryFailuresNameTheFile) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    const std::string gone =
        "The file " + full + " which is in use has been removed or corrupted, therefor the position ";

    Fail(SystemFaults::kFtello, EBADF);
    EXPECT_EQ(Catch([&] { f->GetPos(); }), FileFailure("NotFound", gone + "cannot be read.", full));
    Fail(SystemFaults::kFtello, EIO);
    EXPECT_EQ(Catch([&] { f->GetPos(); }),
              FileFailure("FileError", "Unknown error while reading position for file " + full + ".", full));

    // The size is read at the end after the position is kept: the second query fails.
    Fail(SystemFaults::kFtello, EBADF, 1);
    EXPECT_EQ(Catch([&] { f->GetSize(); }), FileFailure("NotFound", gone + "cannot be set.", full));
    Fail(SystemFaults::kFtello, EIO, 1);
    EXPECT_EQ(Catch([&] { f->GetSize(); }),
              FileFailure("FileError", "Unknown error while setting position for file " + full + ".", full));

    // Setting a position first asks for the size, whose failure is a read error.
    Fail(SystemFaults::kFtello, EBADF);
    EXPECT_EQ(Catch([&] { f->SetPos(3); }), FileFailure("NotFound", gone + "cannot be set.", full));
    Fail(SystemFaults::kFtello, EIO);
    EXPECT_EQ(Catch([&] { f->SetPos(3); }),
              FileFailure("ReadError", "Unknown error while setting position for file " + full + ".", full));
    EXPECT_FALSE(SystemFaults::Pending(SystemFaults::kFtello));
}

TEST(Files, SeekFailuresNameTheFile) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    // The first seek goes to the end for the size; the second is the one asked for.
    Fail(SystemFaults::kFseeko, EINVAL, 1);
    EXPECT_EQ(Catch([&] { f->SetPos(4); }),
              FileFailure("FileError",
                          "Could not set position of filepointer for file " + full + " as the position is invalid.",
                          full));
    Fail(SystemFaults::kFseeko, EBADF, 1);
    EXPECT_EQ(Catch([&] { f->SetPos(4); }),
              FileFailure("NotFound",
                          "The file " + full +
                              " which is in use has been removed or corrupted, therefor the position cannot be set.",
                          full));
    Fail(SystemFaults::kFseeko, EIO, 1);
    EXPECT_EQ(Catch([&] { f->SetPos(4); }),
              FileFailure("CannotOpen", "Unknown error while setting position for file " + full + ".", full));
    EXPECT_FALSE(SystemFaults::Pending(SystemFaults::kFseeko));
    f->SetPos(4);
    char c = 0;
    ASSERT_EQ(f->Read(&c, 1), 1u);
    EXPECT_EQ(c, '4');
}

TEST(Files, EmptyTransfersSucceedAndFilesAreOnlyRead) {
    TempTree tree;
    const std::string full = tree.Write("data.bin", "abcdef");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kReadWrite));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(f->Read(buffer, 0), 1u);
    EXPECT_EQ(f->Write(buffer, 0), 1u);
    EXPECT_EQ(f->GetPos(), 0u);
    EXPECT_EQ(f->Write("ZZZZ", 4), 0u);  // opened for reading whatever was asked
    f.reset();
    std::unique_ptr<File> again(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    const auto bytes = again->Load();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.get()), 6), "abcdef");
}

TEST(Files, ClosingAFileGivesBackItsDescriptor) {
    TempTree tree;
    tree.Write("data.bin", "abc");
    Directory dir = Open(tree.Path());
    const int before = OpenDescriptors();
    for (int i = 0; i < 3; ++i) delete dir.OpenFile("data.bin", File::kRead);
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(Directories, CreatedFilesAndDirectoriesHaveTheirModes) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    ScopedUmask open(0);  // the modes asked for, untouched by the mask
    const int before = OpenDescriptors();
    std::unique_ptr<File> f(dir.CreateFile("made.txt", File::kReadWrite));
    EXPECT_EQ(f->GetName(), "made.txt");
    EXPECT_EQ(f->GetSize(), 0u);
    f.reset();
    EXPECT_EQ(OpenDescriptors(), before);  // the descriptor of the creation is closed
    EXPECT_EQ(ModeOf(tree.Path() + "/made.txt"), 0644u);
    Directory made = dir.CreateDirectory("made");
    EXPECT_EQ(made.GetPath(), tree.Path() + "/made/");
    EXPECT_EQ(ModeOf(tree.Path() + "/made"), 0755u);
    struct stat info;
    ASSERT_EQ(stat((tree.Path() + "/made").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST(Directories, EachCreateFileFailureBecomesItsError) {
    SystemFaults::Scope faults;
    TempTree tree;
    Directory dir = Open(tree.Path());
    const std::string full = tree.Path() + "/new.txt";
    const auto denied = FileFailure(
        "AccessDenied", "In PosixFile::CreateFile(): Access denied while creating '" + full + "'.", full);
    const auto tooMany =
        PlainFailure("OutOfMemory", "Maximum number of open files reached, cannot create file " + full + ".");
    const auto noSpace =
        FileFailure("DiskFull", "The file " + full + " could not be created, as there is no free diskspace.", full);
    const struct {
        int error;
        CaughtError expected;
    } cases[] = {
        {ENOENT, FileFailure("NotFound", "The file " + full + " could not be created, as the directory cannot be found.",
                             full)},
        {EACCES, denied},
        {EISDIR, denied},
        {EROFS, denied},
        {EEXIST, FileFailure("NotUnique", "The file " + full + " cannot be created, as it already exists.", full)},
        {ENFILE, tooMany},
        {EMFILE, tooMany},
        {ENOSPC, noSpace},
        {EDQUOT, noSpace},
        {EIO, FileFailure("CannotOpen", "Unknown error while creating file " + full + ".", full)},
    };
    for (const auto& c : cases) {
        Fail(SystemFaults::kOpen, c.error);
        EXPECT_EQ(Catch([&] { delete dir.CreateFile("new.txt", File::kReadWrite); }), c.expected) << strerror(c.error);
    }
    EXPECT_EQ(ModeOf(full), 0u);  // nothing was made
}

TEST(Directories, EachCreateDirectoryFailureBecomesItsError) {
    SystemFaults::Scope faults;
    TempTree tree;
    Directory dir = Open(tree.Path());
    const std::string full = tree.Path() + "/made";
    const auto denied = FileFailure("AccessDenied", "Access denied while trying to create directory.", full);
    const auto noSpace =
        FileFailure("DiskFull", "The directory " + full + " could not be created, as there is no free diskspace.",
                    full);
    const struct {
        int error;
        CaughtError expected;
    } cases[] = {
        {EACCES, denied},
        {EROFS, denied},
        {EEXIST, FileFailure("NotUnique", "The directory " + full + " already exists.", full)},
        {EIO, FileFailure("WriteError", "Input/Output Error while trying to create directory.", full)},
        {ENOSPC, noSpace},
        {EDQUOT, noSpace},
        {ENAMETOOLONG, FileFailure("FileError", "Unknown error while trying to create directory.", full)},
    };
    for (const auto& c : cases) {
        Fail(SystemFaults::kMkdir, c.error);
        EXPECT_EQ(Catch([&] { dir.CreateDirectory("made"); }), c.expected) << strerror(c.error);
    }
    EXPECT_EQ(ModeOf(full), 0u);
}

TEST(Directories, EachRemoveFailureBecomesItsError) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string file = tree.Write("f.txt", "x");
    const std::string sub = tree.MakeDir("sub");
    Directory dir = Open(tree.Path());
    for (const bool directory : {false, true}) {
        const std::string full = directory ? sub : file;
        const std::string kind = directory ? "directory" : "file";
        const auto denied = FileFailure("AccessDenied", "Permission denied while trying to remove " + full + ".", full);
        const struct {
            int error;
            CaughtError expected;
        } cases[] = {
            {ENOENT,
             FileFailure("NotFound", "The " + kind + " " + full + " cannot be removed as it does not exist.", full)},
            {EPERM, denied},
            {EACCES, denied},
            {EBUSY, denied},
            {EROFS, denied},
            {EIO, FileFailure("WriteError", "Input/Output error occurred while trying to remove " + full + ".", full)},
            {ENOTEMPTY, FileFailure("NotEmpty", "Unable to remove directory " + full + " as it's not empty.", full)},
            {EINVAL, FileFailure("FileError", "Unknown error while trying to remove " + full + ".", full)},
        };
        for (const auto& c : cases) {
            if (directory) {
                Fail(SystemFaults::kRmdir, c.error);
                EXPECT_EQ(Catch([&] { dir.RemoveDirectory("sub", false); }), c.expected) << strerror(c.error);
            } else {
                Fail(SystemFaults::kUnlink, c.error);
                EXPECT_EQ(Catch([&] { dir.RemoveFile("f.txt"); }), c.expected) << strerror(c.error);
            }
        }
    }
    EXPECT_NE(ModeOf(file), 0u);
    EXPECT_NE(ModeOf(sub), 0u);
    dir.RemoveFile("f.txt");
    dir.RemoveDirectory("sub", false);
    EXPECT_EQ(ModeOf(file), 0u);
    EXPECT_EQ(ModeOf(sub), 0u);
}
