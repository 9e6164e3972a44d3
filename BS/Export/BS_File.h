// Files and directories of the base system. Every failure is thrown as one
// of the file errors of BS_Error.h, naming the path.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>

namespace BS {

class Directory;

class File {
public:
    enum FileAccess { kRead, kWrite, kReadWrite };

    virtual ~File() = default;
    virtual void SetPos(unsigned long long position) = 0;
    virtual unsigned long long GetPos() = 0;
    // Answers 1 when all size bytes were transferred, else 0.
    virtual unsigned long long Read(void* block, unsigned long long size) = 0;
    virtual unsigned long long Write(const void* block, unsigned long long size) = 0;
    virtual unsigned long long GetSize() = 0;
    virtual void SetSize(unsigned long long size) = 0;
    virtual bool IsVisible() = 0;
    virtual std::string GetName() = 0;
    virtual std::string GetPath() = 0;
    virtual Directory GetDirectory() = 0;

    // Reads GetSize() bytes from the current position; no terminating zero.
    std::unique_ptr<unsigned char[]> Load();
};

class SysDirectory {
public:
    virtual ~SysDirectory() = default;
    virtual Directory OpenDirectory(std::string name) = 0;
    virtual Directory OpenParentDirectory() = 0;
    virtual std::vector<std::string> GetFileListing() = 0;
    virtual std::vector<std::string> GetDirectoryListing() = 0;
    virtual bool IsVisible() = 0;
    virtual std::string GetName() = 0;
    virtual std::string GetPath() = 0;
    virtual File* OpenFile(std::string name, File::FileAccess access) = 0;
    virtual File* CreateFile(std::string name, File::FileAccess access) = 0;
    virtual void RemoveFile(std::string name) = 0;
    virtual Directory CreateDirectory(std::string name) = 0;
    virtual void RemoveDirectory(std::string name, bool recursive) = 0;
    virtual Directory UserOpenDirectory(std::string prompt) = 0;
    virtual File* UserOpenFile(std::string prompt, bool create, File::FileAccess access) = 0;

    static SysDirectory* CreateSysDirectory(SysDirectory* other);
};

// A value handle that owns its directory object. Copies open their own
// object on the same path rather than sharing one.
class Directory {
public:
    Directory() = default;
    explicit Directory(SysDirectory* other);
    Directory(const Directory& other);
    Directory& operator=(const Directory& other);
    Directory(Directory&& other) noexcept : mDir(other.mDir) { other.mDir = nullptr; }
    Directory& operator=(Directory&& other) noexcept;
    virtual ~Directory();

    // Takes ownership of a freshly made directory object.
    static Directory Adopt(SysDirectory* owned);

    virtual Directory OpenDirectory(std::string name) { return mDir->OpenDirectory(std::move(name)); }
    virtual Directory OpenParentDirectory() { return mDir->OpenParentDirectory(); }
    virtual std::vector<std::string> GetFileListing() { return mDir->GetFileListing(); }
    virtual std::vector<std::string> GetDirectoryListing() { return mDir->GetDirectoryListing(); }
    virtual bool IsVisible() { return mDir->IsVisible(); }
    virtual std::string GetName() { return mDir->GetName(); }
    virtual std::string GetPath() { return mDir->GetPath(); }
    virtual File* OpenFile(std::string name, File::FileAccess access) { return mDir->OpenFile(std::move(name), access); }
    virtual File* CreateFile(std::string name, File::FileAccess access) { return mDir->CreateFile(std::move(name), access); }
    virtual void RemoveFile(std::string name) { mDir->RemoveFile(std::move(name)); }
    virtual Directory CreateDirectory(std::string name) { return mDir->CreateDirectory(std::move(name)); }
    virtual void RemoveDirectory(std::string name, bool recursive) { mDir->RemoveDirectory(std::move(name), recursive); }
    virtual Directory UserOpenDirectory(std::string prompt) { return mDir->UserOpenDirectory(std::move(prompt)); }
    virtual File* UserOpenFile(std::string prompt, bool create, File::FileAccess access) {
        return mDir->UserOpenFile(std::move(prompt), create, access);
    }

    bool IsValid() const { return mDir != nullptr; }

private:
    SysDirectory* mDir = nullptr;
};

class PosixFile : public File {
public:
    PosixFile(std::string fullPath, std::string directoryPath, FileAccess access);
    ~PosixFile() override;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    void SetPos(unsigned long long position) override;
    unsigned long long GetPos() override;
    unsigned long long Read(void* block, unsigned long long size) override;
    unsigned long long Write(const void* block, unsigned long long size) override;
    unsigned long long GetSize() override;
    void SetSize(unsigned long long) override {}
    bool IsVisible() override;
    std::string GetName() override;
    std::string GetPath() override { return mDirectoryPath; }
    Directory GetDirectory() override;

private:
    void RequireStream();
    long long SizeAtEnd(const char* unknownMessage, bool unknownIsReadError);

    FILE* mStream = nullptr;
    std::string mFullPath;
    std::string mDirectoryPath;
};

class PosixDirectory : public SysDirectory {
public:
    explicit PosixDirectory(std::string path);
    ~PosixDirectory() override;
    PosixDirectory(const PosixDirectory&) = delete;
    PosixDirectory& operator=(const PosixDirectory&) = delete;

    Directory OpenDirectory(std::string name) override;
    Directory OpenParentDirectory() override;
    std::vector<std::string> GetFileListing() override;
    std::vector<std::string> GetDirectoryListing() override;
    bool IsVisible() override;
    std::string GetName() override;
    std::string GetPath() override { return mPath; }
    File* OpenFile(std::string name, File::FileAccess access) override;
    File* CreateFile(std::string name, File::FileAccess access) override;
    void RemoveFile(std::string name) override;
    Directory CreateDirectory(std::string name) override;
    void RemoveDirectory(std::string name, bool recursive) override;
    Directory UserOpenDirectory(std::string) override { return Directory(); }
    File* UserOpenFile(std::string, bool, File::FileAccess) override { return nullptr; }

    // Number of directory objects currently using a stream on path (for tests).
    static int StreamUsers(const std::string& path);
    static int OpenStreamCount();

private:
    std::vector<std::string> Listing(bool directories, const char* noStreamMessage);

    DIR* mStream = nullptr;
    std::string mPath;
};

void gPosix_InitFile();
void gPosix_DisposeFile();

}  // namespace BS
