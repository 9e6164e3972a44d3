#include "BS/Export/BS_File.h"

namespace BS {

Directory::Directory(SysDirectory* other) : mDir(other ? SysDirectory::CreateSysDirectory(other) : nullptr) {}

Directory::Directory(const Directory& other) : Directory(other.mDir) {}

Directory& Directory::operator=(const Directory& other) {
    if (this != &other) {
        delete mDir;
        mDir = nullptr;  // the copy below may throw
        mDir = other.mDir ? SysDirectory::CreateSysDirectory(other.mDir) : nullptr;
    }
    return *this;
}

Directory& Directory::operator=(Directory&& other) noexcept {
    if (this != &other) {
        delete mDir;
        mDir = other.mDir;
        other.mDir = nullptr;
    }
    return *this;
}

Directory::~Directory() { delete mDir; }

Directory Directory::Adopt(SysDirectory* owned) {
    Directory d;
    d.mDir = owned;
    return d;
}

std::unique_ptr<unsigned char[]> File::Load() {
    const unsigned long long size = GetSize();
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    Read(bytes.get(), size);
    return bytes;
}

}  // namespace BS
