#include <sys/stat.h>

#include <cerrno>

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"

namespace BS {

PosixFile::PosixFile(std::string fullPath, std::string directoryPath, FileAccess)
    : mFullPath(std::move(fullPath)), mDirectoryPath(std::move(directoryPath)) {
    // Files are only ever read by this system.
    mStream = fopen(mFullPath.c_str(), "r");
    if (mStream) {
        // fopen opens a directory for reading; its size would read as the
        // largest offset.
        struct stat info;
        if (fstat(fileno(mStream), &info) != 0 || !S_ISDIR(info.st_mode)) return;
        fclose(mStream);
        mStream = nullptr;
        errno = EISDIR;
    }
    switch (errno) {
        case ENOENT:
            throw NotFound("The file " + mFullPath + " could not be opened as it does not exist.", mFullPath);
        case EACCES:
        case EISDIR:
        case EROFS:
            throw AccessDenied("Access denied while opening file '" + mFullPath + "'.", mFullPath);
        case ENFILE:
        case EMFILE:
            throw OutOfMemory("Maximum number of open files reached, cannot create file " + mFullPath + ".");
        default:
            throw CannotOpen("Unable to open file " + mFullPath + ".", mFullPath);
    }
}

PosixFile::~PosixFile() {
    if (mStream) fclose(mStream);
}

void PosixFile::RequireStream() {
    if (!mStream) throw NotFound("There is no valid filedescriptor for the file " + mFullPath + ".", mFullPath);
}

unsigned long long PosixFile::Read(void* block, unsigned long long size) {
    RequireStream();
    if (!block) throw NullPointer("Memoryblock given to PosixFile::Read is 0, cannot read data.");
    if (size == 0) return 1;
    return fread(block, size, 1, mStream);
}

unsigned long long PosixFile::Write(const void* block, unsigned long long size) {
    RequireStream();
    if (!block) throw NullPointer("Memoryblock given to PosixFile::Write is 0, cannot read data.");
    if (size == 0) return 1;
    return fwrite(block, size, 1, mStream);
}

unsigned long long PosixFile::GetPos() {
    RequireStream();
    const off_t pos = ftello(mStream);
    if (pos < 0) {
        if (errno == EBADF)
            throw NotFound("The file " + mFullPath +
                               " which is in use has been removed or corrupted, therefor the position cannot be read.",
                           mFullPath);
        throw FileError("Unknown error while reading position for file " + mFullPath + ".", mFullPath);
    }
    return static_cast<unsigned long long>(pos);
}

// Seeks to the end and answers the size there, throwing the errors of a
// failed position query.
long long PosixFile::SizeAtEnd(const char* unknownMessage, bool unknownIsReadError) {
    fseeko(mStream, 0, SEEK_END);
    const off_t size = ftello(mStream);
    if (size >= 0) return size;
    if (errno == EBADF)
        throw NotFound("The file " + mFullPath +
                           " which is in use has been removed or corrupted, therefor the position cannot be set.",
                       mFullPath);
    const std::string message = unknownMessage + mFullPath + ".";
    if (unknownIsReadError) throw ReadError(message, mFullPath);
    throw FileError(message, mFullPath);
}

unsigned long long PosixFile::GetSize() {
    const unsigned long long pos = GetPos();
    const long long size = SizeAtEnd("Unknown error while setting position for file ", false);
    SetPos(pos);
    return static_cast<unsigned long long>(size);
}

void PosixFile::SetPos(unsigned long long position) {
    RequireStream();
    const unsigned long long size =
        static_cast<unsigned long long>(SizeAtEnd("Unknown error while setting position for file ", true));
    if (position > size) position = size;
    if (fseeko(mStream, static_cast<off_t>(position), SEEK_SET) == 0) return;
    switch (errno) {
        case EINVAL:
            throw FileError("Could not set position of filepointer for file " + mFullPath +
                                " as the position is invalid.",
                            mFullPath);
        case EBADF:
            throw NotFound("The file " + mFullPath +
                               " which is in use has been removed or corrupted, therefor the position cannot be set.",
                           mFullPath);
        default:
            throw CannotOpen("Unknown error while setting position for file " + mFullPath + ".", mFullPath);
    }
}

std::string PosixFile::GetName() {
    const size_t slash = mFullPath.rfind('/');
    return slash == std::string::npos ? mFullPath : mFullPath.substr(slash + 1);
}

bool PosixFile::IsVisible() {
    const std::string name = GetName();
    return name.empty() || name[0] != '.';
}

Directory PosixFile::GetDirectory() { return Directory::Adopt(new PosixDirectory(mDirectoryPath)); }

void gPosix_InitFile() {}
void gPosix_DisposeFile() {}

}  // namespace BS
