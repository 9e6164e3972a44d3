#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "TempTree.h"

using BS::Directory;
using BS::File;
using BS::PosixDirectory;

namespace {

Directory Open(const std::string& path) { return Directory::Adopt(new PosixDirectory(path)); }

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST(Files, MissingFileThrowsNotFoundNamingThePath) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    const std::string full = tree.Path() + "/nothing.mas";
    try {
        delete dir.OpenFile("nothing.mas", File::kRead);
        FAIL() << "no error";
    } catch (const BS::NotFound& e) {
        EXPECT_EQ(e.mMessage, "The file " + full + " could not be opened as it does not exist.");
        EXPECT_EQ(e.GetFileName(), full);
    }
}

TEST(Files, OpeningADirectoryAsAFileIsAccessDenied) {
    TempTree tree;
    tree.MakeDir("scenes");
    const std::string full = tree.Path() + "/scenes";
    try {
        delete Open(tree.Path()).OpenFile("scenes", File::kRead);
        FAIL() << "no error";
    } catch (const BS::AccessDenied& e) {
        EXPECT_EQ(e.mMessage, "Access denied while opening file '" + full + "'.");
        EXPECT_EQ(e.GetFileName(), full);
    }
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
    EXPECT_THROW(f->Read(nullptr, 1), BS::NullPointer);
    EXPECT_THROW(f->Write(nullptr, 1), BS::NullPointer);
}

TEST(Files, LoadReadsTheWholeFile) {
    TempTree tree;
    tree.Write("scene.mas", "*3DSMAX");
    std::unique_ptr<File> f(Open(tree.Path()).OpenFile("scene.mas", File::kRead));
    const auto bytes = f->Load();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.get()), 7), "*3DSMAX");
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
}

TEST(Directories, HandlesOnOnePathShareOneStreamUntilTheLastGoes) {
    TempTree tree;
    const std::string path = tree.Path() + "/";
    const int before = PosixDirectory::OpenStreamCount();
    {
        Directory first = Open(path);
        {
            Directory second = first;  // a copy opens its own object on the same path
            EXPECT_EQ(PosixDirectory::StreamUsers(path), 2);
            EXPECT_EQ(PosixDirectory::OpenStreamCount(), before + 1);
        }
        EXPECT_EQ(PosixDirectory::StreamUsers(path), 1);
        EXPECT_EQ(PosixDirectory::OpenStreamCount(), before + 1);
    }
    EXPECT_EQ(PosixDirectory::StreamUsers(path), 0);
    EXPECT_EQ(PosixDirectory::OpenStreamCount(), before);
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

TEST(Directories, OpeningAMissingDirectoryThrowsCannotOpen) {
    TempTree tree;
    const std::string missing = tree.Path() + "/absent";
    try {
        Open(missing);
        FAIL() << "no error";
    } catch (const BS::CannotOpen& e) {
        EXPECT_EQ(e.ErrorType(), "BS::CannotOpen");
        EXPECT_EQ(e.mMessage, "Unable to open directory " + missing + ".");
    }
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

TEST(Directories, CreatingWhereWritingIsRefusedIsAccessDenied) {
    // Nobody, not even root, creates files at the top of sysfs.
    try {
        delete Open("/sys").CreateFile("kestrel-test", File::kReadWrite);
        FAIL() << "no error";
    } catch (const BS::AccessDenied& e) {
        EXPECT_EQ(e.mMessage, "In PosixFile::CreateFile(): Access denied while creating '/sys/kestrel-test'.");
        EXPECT_EQ(e.GetFileName(), "/sys/kestrel-test");
    }
}

TEST(Directories, UserChoiceIsNotProvided) {
    TempTree tree;
    Directory dir = Open(tree.Path());
    EXPECT_FALSE(dir.UserOpenDirectory("pick").IsValid());
    EXPECT_EQ(dir.UserOpenFile("pick", false, File::kRead), nullptr);
}
