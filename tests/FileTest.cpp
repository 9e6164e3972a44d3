#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "CaughtError.h"
#include "SystemFaults.h"
#include "TempTree.h"

using BS::Directory;
using BS::File;
using BS::PosixDirectory;
using Names = std::vector<std::string>;

namespace {

Directory Open(const std::string& path) { return Directory::Adopt(new PosixDirectory(path)); }

// The permission bits a path has, as stat sees them; 0 when it is absent.
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

struct ErrnoCase {
    int error;
    CaughtError expected;
};

// Makes the call fail with each errno in turn; the operation must throw that row's error.
void ExpectEachFailure(SystemFaults::Call call, const std::vector<ErrnoCase>& cases,
                       const std::function<void()>& operation, int skip = 0) {
    for (const ErrnoCase& c : cases) {
        SystemFaults::Fail(call, c.error, skip);
        EXPECT_EQ(Catch(operation), c.expected) << strerror(c.error);
    }
}

}  // namespace

// Failures the system really gives, each its error naming the path.
TEST(Files, RealFailuresBecomeTheirErrorsNamingThePath) {
    TempTree tree;
    const std::string scenes = tree.MakeDir("scenes"), absent = tree.Path() + "/absent";
    Directory dir = Open(tree.Path());
    EXPECT_EQ(Catch([&] { delete dir.OpenFile("scenes", File::kRead); }),
              FileFailure("AccessDenied", "Access denied while opening file '" + scenes + "'.", scenes));
    EXPECT_EQ(Catch([&] { Open(absent); }),
              FileFailure("CannotOpen", "Unable to open directory " + absent + ".", absent));
    std::unique_ptr<File> f(dir.CreateFile("data.bin", File::kReadWrite));
    EXPECT_EQ(Catch([&] { f->Read(nullptr, 1); }),
              PlainFailure("NullPointer", "Memoryblock given to PosixFile::Read is 0, cannot read data."));
    EXPECT_EQ(Catch([&] { f->Write(nullptr, 1); }),
              PlainFailure("NullPointer", "Memoryblock given to PosixFile::Write is 0, cannot read data."));
}

TEST(Files, TransfersSizesAndPositions) {
    TempTree tree;
    tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kReadWrite));
    char buffer[16] = {};
    EXPECT_EQ(f->Read(buffer, 0), 1u);  // empty transfers succeed
    EXPECT_EQ(f->Write(buffer, 0), 1u);
    EXPECT_EQ(f->Write("ZZZZ", 4), 0u);  // opened for reading whatever was asked
    ASSERT_EQ(f->Read(buffer, 5), 1u);
    EXPECT_EQ(f->GetSize(), 10u);
    EXPECT_EQ(f->GetPos(), 5u);  // the size query kept the position
    f->SetPos(1000);
    EXPECT_EQ(f->GetPos(), 10u);
    f->SetPos(6);
    EXPECT_EQ(f->Read(buffer, 10), 0u);  // one only for a full transfer
    EXPECT_EQ(std::string(buffer, 4), "6789");
    f->SetPos(3);  // Load reads from the position
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f->Load().get()), 7), "3456789");
}

TEST(Files, NamesPathsAndVisibility) {
    TempTree tree;
    tree.MakeDir("data/.cache");
    tree.Write("data/a.mas", "x");
    tree.Write("data/.hidden", "x");
    Directory data = Open(tree.Path() + "/data");
    std::unique_ptr<File> a(data.OpenFile("a.mas", File::kRead));
    EXPECT_EQ(a->GetName(), "a.mas");
    EXPECT_TRUE(a->IsVisible());
    EXPECT_FALSE(std::unique_ptr<File>(data.OpenFile(".hidden", File::kRead))->IsVisible());
    EXPECT_EQ(a->GetDirectory().GetPath(), tree.Path() + "/data/");
    EXPECT_TRUE(data.IsVisible());
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
        EXPECT_EQ(first.GetFileListing(), Names{"listed.txt"});
    }
    EXPECT_EQ(PosixDirectory::StreamUsers(path), 0);
    EXPECT_EQ(PosixDirectory::OpenStreamCount(), before);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST(Directories, AssignedHandlesOpenTheOthersPath) {
    TempTree tree;
    const std::string a = tree.MakeDir("a"), b = tree.MakeDir("b");
    Directory first = Open(a), second = Open(b);
    second = first;
    Directory& same = second;
    second = same;
    EXPECT_EQ(second.GetPath(), a + "/");
    Directory moved = Open(b);
    moved = std::move(first);
    EXPECT_EQ(moved.GetPath(), a + "/");
    EXPECT_EQ(PosixDirectory::StreamUsers(b), 0);
}

TEST(Directories, AssigningFromAHandleWhoseDirectoryIsGoneLeavesAnEmptyHandle) {
    TempTree tree;
    const std::string a = tree.MakeDir("a"), b = tree.MakeDir("b");
    Directory first = Open(a), second = Open(b);
    ASSERT_EQ(rmdir(a.c_str()), 0);
    // The copy opens the path anew, with its slash: it fails, after second let go of its own.
    EXPECT_THROW(second = first, BS::CannotOpen);
    EXPECT_FALSE(second.IsValid());
    EXPECT_EQ(PosixDirectory::StreamUsers(b), 0);
    second = Open(b);
    EXPECT_EQ(second.GetName(), "b");
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
    EXPECT_EQ(dir.GetFileListing(), Names{"one.txt"});
    Names directories = dir.GetDirectoryListing();
    std::sort(directories.begin(), directories.end());
    EXPECT_EQ(directories, (Names{".", "..", "sub"}));
}

TEST(Directories, CreateAndRemoveFilesAndTrees) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    delete dir.CreateFile("new.txt", File::kReadWrite);
    EXPECT_THROW(delete dir.CreateFile("new.txt", File::kReadWrite), BS::NotUnique);  // refused, not reopened
    dir.RemoveFile("new.txt");
    EXPECT_EQ(ModeOf(tree.Path() + "/new.txt"), 0u);
    Directory made = dir.CreateDirectory("made");
    made.CreateDirectory("inner");
    tree.Write("made/inner/f.txt", "x");
    tree.Write("made/g.txt", "x");
    tree.Write("made/.hidden", "x");
    tree.MakeDir("made/.cache");
    tree.Write("made/.cache/.f", "x");
    dir.RemoveDirectory("made", true);
    EXPECT_EQ(ModeOf(tree.Path() + "/made"), 0u);
}

TEST(Directories, RemovingATreeRemovesLinksNotWhatTheyPointTo) {
    TempTree tree;
    const std::string outside = tree.Path() + "/outside";
    tree.MakeDir("outside/deep");
    tree.Write("outside/keep.txt", "x");
    tree.Write("outside/deep/keep.txt", "x");
    tree.MakeDir("doomed/sub");
    tree.Write("doomed/sub/f.txt", "x");
    for (const char* link : {"/doomed/link", "/doomed/sub/link", "/alias"})
        ASSERT_EQ(symlink(outside.c_str(), (tree.Path() + link).c_str()), 0) << link;
    Directory dir = Open(tree.Path());
    dir.RemoveDirectory("doomed", true);
    dir.RemoveDirectory("alias", true);
    struct stat st;
    EXPECT_NE(lstat((tree.Path() + "/doomed").c_str(), &st), 0);
    EXPECT_NE(lstat((tree.Path() + "/alias").c_str(), &st), 0);
    EXPECT_NE(ModeOf(tree.Path() + "/outside/keep.txt"), 0u);
    EXPECT_NE(ModeOf(tree.Path() + "/outside/deep/keep.txt"), 0u);
}

TEST(Files, EachOpenFailureBecomesItsErrorNamingThePath) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("present.bin", "abc");
    Directory dir = Open(tree.Path());
    const auto denied = FileFailure("AccessDenied", "Access denied while opening file '" + full + "'.", full);
    const auto tooMany =
        PlainFailure("OutOfMemory", "Maximum number of open files reached, cannot create file " + full + ".");
    ExpectEachFailure(
        SystemFaults::kFopen,
        {{ENOENT, FileFailure("NotFound", "The file " + full + " could not be opened as it does not exist.", full)},
         {EACCES, denied},
         {EISDIR, denied},
         {EROFS, denied},
         {ENFILE, tooMany},
         {EMFILE, tooMany},
         {EIO, FileFailure("CannotOpen", "Unable to open file " + full + ".", full)}},
        [&] { delete dir.OpenFile("present.bin", File::kRead); });
}

TEST(Files, PositionQueryFailuresNameTheFile) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    const std::string gone =
        "The file " + full + " which is in use has been removed or corrupted, therefor the position ";
    const std::string unknownSet = "Unknown error while setting position for file " + full + ".";
    const struct {
        int error, skip;
        std::function<void()> query;
        CaughtError expected;
    } cases[] = {
        {EBADF, 0, [&] { f->GetPos(); }, FileFailure("NotFound", gone + "cannot be read.", full)},
        {EIO, 0, [&] { f->GetPos(); },
         FileFailure("FileError", "Unknown error while reading position for file " + full + ".", full)},
        // The size is read at the end after the position is kept: the second query fails.
        {EBADF, 1, [&] { f->GetSize(); }, FileFailure("NotFound", gone + "cannot be set.", full)},
        {EIO, 1, [&] { f->GetSize(); }, FileFailure("FileError", unknownSet, full)},
        // Setting a position first asks for the size, whose failure is a read error.
        {EBADF, 0, [&] { f->SetPos(3); }, FileFailure("NotFound", gone + "cannot be set.", full)},
        {EIO, 0, [&] { f->SetPos(3); }, FileFailure("ReadError", unknownSet, full)},
    };
    for (const auto& c : cases) {
        SystemFaults::Fail(SystemFaults::kFtello, c.error, c.skip);
        EXPECT_EQ(Catch(c.query), c.expected) << strerror(c.error) << ", skip " << c.skip;
    }
}

TEST(Files, SeekFailuresNameTheFile) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    const std::string gone = "The file " + full +
                             " which is in use has been removed or corrupted, therefor the position cannot be set.";
    const std::string invalid =
        "Could not set position of filepointer for file " + full + " as the position is invalid.";
    // The first seek goes to the end for the size; the second is the one asked for.
    ExpectEachFailure(
        SystemFaults::kFseeko,
        {{EINVAL, FileFailure("FileError", invalid, full)},
         {EBADF, FileFailure("NotFound", gone, full)},
         {EIO, FileFailure("CannotOpen", "Unknown error while setting position for file " + full + ".", full)}},
        [&] { f->SetPos(4); }, 1);
}

TEST(Directories, CreatedFilesAndDirectoriesHaveTheirModes) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    const mode_t mask = umask(0);  // the modes asked for, untouched by the mask
    const int before = OpenDescriptors();
    // A new file is empty: its size 0 reads as a size, not as a failed query.
    EXPECT_EQ(std::unique_ptr<File>(dir.CreateFile("made.txt", File::kReadWrite))->GetSize(), 0u);
    EXPECT_EQ(OpenDescriptors(), before);  // the creation's descriptor and the file's stream are closed
    EXPECT_EQ(ModeOf(tree.Path() + "/made.txt"), 0644u);
    EXPECT_EQ(dir.CreateDirectory("made").GetPath(), tree.Path() + "/made/");
    EXPECT_EQ(ModeOf(tree.Path() + "/made"), 0755u);
    umask(mask);
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
    ExpectEachFailure(
        SystemFaults::kOpen,
        {{ENOENT, FileFailure("NotFound", "The file " + full + " could not be created, as the directory cannot be found.",
                              full)},
         {EACCES, denied},
         {EISDIR, denied},
         {EROFS, denied},
         {EEXIST, FileFailure("NotUnique", "The file " + full + " cannot be created, as it already exists.", full)},
         {ENFILE, tooMany},
         {EMFILE, tooMany},
         {ENOSPC, noSpace},
         {EDQUOT, noSpace},
         {EIO, FileFailure("CannotOpen", "Unknown error while creating file " + full + ".", full)}},
        [&] { delete dir.CreateFile("new.txt", File::kReadWrite); });
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
    ExpectEachFailure(
        SystemFaults::kMkdir,
        {{EACCES, denied},
         {EROFS, denied},
         {EEXIST, FileFailure("NotUnique", "The directory " + full + " already exists.", full)},
         {EIO, FileFailure("WriteError", "Input/Output Error while trying to create directory.", full)},
         {ENOSPC, noSpace},
         {EDQUOT, noSpace},
         {ENAMETOOLONG, FileFailure("FileError", "Unknown error while trying to create directory.", full)}},
        [&] { dir.CreateDirectory("made"); });
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
        ExpectEachFailure(
            directory ? SystemFaults::kRmdir : SystemFaults::kUnlink,
            {{ENOENT, FileFailure("NotFound", "The " + kind + " " + full + " cannot be removed as it does not exist.",
                                  full)},
             {EPERM, denied},
             {EACCES, denied},
             {EBUSY, denied},
             {EROFS, denied},
             {EIO, FileFailure("WriteError", "Input/Output error occurred while trying to remove " + full + ".", full)},
             {ENOTEMPTY, FileFailure("NotEmpty", "Unable to remove directory " + full + " as it's not empty.", full)},
             {EINVAL, FileFailure("FileError", "Unknown error while trying to remove " + full + ".", full)}},
            [&] { directory ? dir.RemoveDirectory("sub", false) : dir.RemoveFile("f.txt"); });
    }
}
