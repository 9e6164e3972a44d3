#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"

namespace BS {

namespace {

// One entry per directory object using a stream; a path opened by several
// objects shares one stream, closed when its last user goes.
struct DirStreamTable {
    std::vector<std::string> names;
    std::vector<DIR*> streams;
};

DirStreamTable& Table() {
    static DirStreamTable table;
    return table;
}

const char* const kTableMismatch =
    "Misc internal error, size of dir entry table is not the same as size of dir name table! ";

DIR* AcquireStream(const std::string& path) {
    DirStreamTable& t = Table();
    if (t.names.size() != t.streams.size()) {
        printf("getDirEntry: '%s'\n", path.c_str());
        printf("DirEntryNames: %d, DirEnties: %d\n", static_cast<int>(t.names.size()),
               static_cast<int>(t.streams.size()));
        throw Error(std::string(kTableMismatch) + "(getdir)");
    }
    const auto it = std::find(t.names.begin(), t.names.end(), path);
    DIR* stream = nullptr;
    if (it != t.names.end()) {
        stream = t.streams[static_cast<size_t>(it - t.names.begin())];
    } else {
        stream = opendir(path.c_str());
        if (!stream) {
            perror(path.c_str());
            throw CannotOpen("Unable to open directory " + path + ".", path);
        }
    }
    t.names.push_back(path);
    t.streams.push_back(stream);
    return stream;
}

void ReleaseStream(DIR* stream) {
    DirStreamTable& t = Table();
    const auto it = std::find(t.streams.begin(), t.streams.end(), stream);
    if (it == t.streams.end()) return;
    const size_t index = static_cast<size_t>(it - t.streams.begin());
    t.streams.erase(it);
    t.names.erase(t.names.begin() + static_cast<std::ptrdiff_t>(index));
    if (std::find(t.streams.begin(), t.streams.end(), stream) == t.streams.end()) closedir(stream);
}

bool OpensAsDirectory(const std::string& path) {
    DIR* d = opendir(path.c_str());
    if (!d) return false;
    closedir(d);
    return true;
}

bool IsLink(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

SysDirectory* SysDirectory::CreateSysDirectory(SysDirectory* other) { return new PosixDirectory(other->GetPath()); }

PosixDirectory::PosixDirectory(std::string path) : mPath(std::move(path)) {
    const std::string received = mPath;
    if (mPath.empty()) mPath = "/";
    if (mPath.back() != '/') mPath += '/';
    mStream = AcquireStream(received.empty() ? mPath : received);
}

PosixDirectory::~PosixDirectory() {
    // A destructor must not throw; a mismatched table is reported instead.
    DirStreamTable& t = Table();
    if (t.names.size() != t.streams.size()) {
        printf("%s(dispose)\n", kTableMismatch);
        return;
    }
    ReleaseStream(mStream);
}

int PosixDirectory::StreamUsers(const std::string& path) {
    const DirStreamTable& t = Table();
    return static_cast<int>(std::count(t.names.begin(), t.names.end(), path));
}

int PosixDirectory::OpenStreamCount() {
    std::vector<DIR*> unique = Table().streams;
    std::sort(unique.begin(), unique.end());
    return static_cast<int>(std::unique(unique.begin(), unique.end()) - unique.begin());
}

Directory PosixDirectory::OpenDirectory(std::string name) { return Directory::Adopt(new PosixDirectory(mPath + name)); }

Directory PosixDirectory::OpenParentDirectory() {
    if (mPath == "/") return OpenDirectory("");
    std::string parent = mPath.substr(0, mPath.size() - 1);
    const size_t slash = parent.rfind('/');
    // A relative single-component path has the working directory as parent.
    parent = slash == std::string::npos ? std::string("./") : parent.substr(0, slash + 1);
    return Directory::Adopt(new PosixDirectory(parent));
}

std::vector<std::string> PosixDirectory::Listing(bool directories, const char* noStreamMessage) {
    if (!mStream) throw CannotOpen(noStreamMessage, mPath);
    std::vector<std::string> names;
    rewinddir(mStream);
    while (const dirent* entry = readdir(mStream)) {
        if (OpensAsDirectory(mPath + entry->d_name) == directories) names.emplace_back(entry->d_name);
    }
    return names;
}

std::vector<std::string> PosixDirectory::GetFileListing() {
    return Listing(false, "Cannot open directory for file listing.");
}

std::vector<std::string> PosixDirectory::GetDirectoryListing() {
    return Listing(true, "Cannot open directory for directory listing.");
}

std::string PosixDirectory::GetName() {
    std::string trimmed = mPath.substr(0, mPath.size() - 1);
    const size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool PosixDirectory::IsVisible() {
    const std::string name = GetName();
    return name.empty() || name[0] != '.';
}

File* PosixDirectory::OpenFile(std::string name, File::FileAccess access) {
    return new PosixFile(mPath + name, mPath, access);
}

File* PosixDirectory::CreateFile(std::string name, File::FileAccess access) {
    const std::string full = mPath + name;
    const int fd = open(full.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
        close(fd);
        return OpenFile(name, access);
    }
    switch (errno) {
        case ENOENT:
            throw NotFound("The file " + full + " could not be created, as the directory cannot be found.", full);
        case EACCES:
        case EISDIR:
        case EROFS:
            throw AccessDenied("In PosixFile::CreateFile(): Access denied while creating '" + full + "'.", full);
        case EEXIST:
            throw NotUnique("The file " + full + " cannot be created, as it already exists.", full);
        case ENFILE:
        case EMFILE:
            throw OutOfMemory("Maximum number of open files reached, cannot create file " + full + ".");
        case ENOSPC:
        case EDQUOT:
            throw DiskFull("The file " + full + " could not be created, as there is no free diskspace.", full);
        default:
            throw CannotOpen("Unknown error while creating file " + full + ".", full);
    }
}

namespace {

// The failures shared by unlink and rmdir.
[[noreturn]] void ThrowRemoveError(const std::string& full, const char* kind) {
    switch (errno) {
        case ENOENT:
            throw NotFound(std::string("The ") + kind + " " + full + " cannot be removed as it does not exist.", full);
        case EPERM:
        case EACCES:
        case EBUSY:
        case EROFS:
            throw AccessDenied("Permission denied while trying to remove " + full + ".", full);
        case EIO:
            throw WriteError("Input/Output error occurred while trying to remove " + full + ".", full);
        case ENOTEMPTY:
            throw NotEmpty("Unable to remove directory " + full + " as it's not empty.", full);
        default:
            throw FileError("Unknown error while trying to remove " + full + ".", full);
    }
}

}  // namespace

void PosixDirectory::RemoveFile(std::string name) {
    const std::string full = mPath + name;
    if (unlink(full.c_str()) != 0) ThrowRemoveError(full, "file");
}

Directory PosixDirectory::CreateDirectory(std::string name) {
    const std::string full = mPath + name;
    if (mkdir(full.c_str(), 0755) == 0) return OpenDirectory(name);
    switch (errno) {
        case EACCES:
        case EROFS:
            throw AccessDenied("Access denied while trying to create directory.", full);
        case EEXIST:
            throw NotUnique("The directory " + full + " already exists.", full);
        case EIO:
            throw WriteError("Input/Output Error while trying to create directory.", full);
        case ENOSPC:
        case EDQUOT:
            throw DiskFull("The directory " + full + " could not be created, as there is no free diskspace.", full);
        default:
            throw FileError("Unknown error while trying to create directory.", full);
    }
}

void PosixDirectory::RemoveDirectory(std::string name, bool recursive) {
    // What a link points to lies outside this tree: only the link goes.
    if (IsLink(mPath + name)) return RemoveFile(name);
    if (recursive) {
        Directory sub = OpenDirectory(name);
        for (const std::string& file : sub.GetFileListing()) sub.RemoveFile(file);
        for (const std::string& dir : sub.GetDirectoryListing())
            if (dir != "." && dir != "..") sub.RemoveDirectory(dir, true);
    }
    const std::string full = mPath + name;
    if (rmdir(full.c_str()) != 0) ThrowRemoveError(full, "directory");
}

}  // namespace BS
