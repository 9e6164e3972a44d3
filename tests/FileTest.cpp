// The base system's files and folders as the show uses them: opened for reading, sized, positioned and loaded, and
// the failures of each.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

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

// The descriptors this process holds, counted in /proc.
int OpenDescriptors() {
    int count = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++count;
        closedir(d);
    }
    return count;
}

// Makes the call fail with each errno in turn; the operation must throw that row's error, naming the path.
void ExpectEachFailure(SystemFaults::Call call, const std::vector<std::pair<int, std::string>>& cases,
                       const std::function<void()>& operation, int skip = 0) {
    for (const auto& [error, expected] : cases) {
        SystemFaults::Fail(call, error, skip);
        EXPECT_EQ(Failure(operation), expected) << strerror(error);
    }
}

}  // namespace

// Failures the system really gives, each its error naming the path.
TEST(Files, RealFailuresBecomeTheirErrorsNamingThePath) {
    TempTree tree;
    const std::string scenes = tree.MakeDir("scenes"), absent = tree.Path() + "/absent";
    Directory dir = Open(tree.Path());
    EXPECT_EQ(Failure([&] { delete dir.OpenFile("scenes", File::kRead); }), "BS::AccessDenied " + scenes);
    EXPECT_EQ(Failure([&] { Open(absent); }), "BS::CannotOpen " + absent);
}

TEST(Files, TransfersSizesAndPositions) {
    TempTree tree;
    tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kReadWrite));
    char buffer[16] = {};
    EXPECT_EQ(f->Read(buffer, 0), 1u);  // empty transfers succeed
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

// The branches the open takes, and the failures a user meets: missing, denied, a folder.
TEST(Files, EachOpenFailureBecomesItsErrorNamingThePath) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("present.bin", "abc");
    Directory dir = Open(tree.Path());
    ExpectEachFailure(SystemFaults::kFopen,
                      {{ENOENT, "BS::NotFound " + full},
                       {EACCES, "BS::AccessDenied " + full},
                       {EISDIR, "BS::AccessDenied " + full},
                       {EMFILE, "BS::OutOfMemory"},
                       {EIO, "BS::CannotOpen " + full}},
                      [&] { delete dir.OpenFile("present.bin", File::kRead); });
}

// The importer sets the position and asks the size: each query's failures, the file named.
TEST(Files, PositionAndSeekFailuresNameTheFile) {
    SystemFaults::Scope faults;
    TempTree tree;
    const std::string full = tree.Write("data.bin", "0123456789");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("data.bin", File::kRead));
    const struct {
        SystemFaults::Call call;
        int error, skip;
        std::function<void()> query;
        const char* type;
    } cases[] = {
        {SystemFaults::kFtello, EBADF, 0, [&] { f->GetPos(); }, "NotFound"},
        {SystemFaults::kFtello, EIO, 0, [&] { f->GetPos(); }, "FileError"},
        // The size is read at the end after the position is kept: the second query fails.
        {SystemFaults::kFtello, EBADF, 1, [&] { f->GetSize(); }, "NotFound"},
        {SystemFaults::kFtello, EIO, 1, [&] { f->GetSize(); }, "FileError"},
        // Setting a position first asks for the size, whose failure is a read error.
        {SystemFaults::kFtello, EBADF, 0, [&] { f->SetPos(3); }, "NotFound"},
        {SystemFaults::kFtello, EIO, 0, [&] { f->SetPos(3); }, "ReadError"},
        // The first seek goes to the end for the size; the second is the one asked for.
        {SystemFaults::kFseeko, EINVAL, 1, [&] { f->SetPos(4); }, "FileError"},
        {SystemFaults::kFseeko, EBADF, 1, [&] { f->SetPos(4); }, "NotFound"},
        {SystemFaults::kFseeko, EIO, 1, [&] { f->SetPos(4); }, "CannotOpen"},
    };
    for (const auto& c : cases) {
        SystemFaults::Fail(c.call, c.error, c.skip);
        EXPECT_EQ(Failure(c.query), "BS::" + std::string(c.type) + " " + full) << strerror(c.error) << ", skip " << c.skip;
    }
}
