#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"

namespace BS {

namespace {

std::string CurrentWorkingDirectory() {
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) throw CannotOpen("Cannot open current working directory.", "");
    std::string result(cwd);
    free(cwd);
    return result;
}

bool IsNameInCurrentDirectory(const std::string& p) {
    return p.size() > 2 && p[0] == '.' && p[1] == '/' && p.find('/', 2) == std::string::npos;
}

std::string SearchPath(const std::string& program) {
    const char* path = getenv("PATH");
    if (!path) throw CannotOpen("Cannot open application directory, (PATH is not set)", "");
    const std::string entries(path);
    size_t start = 0;
    while (start <= entries.size()) {
        size_t end = entries.find(':', start);
        if (end == std::string::npos) end = entries.size();
        const std::string dir = entries.substr(start, end - start);
        const std::string candidate = dir + "/" + program;
        const int fd = open(candidate.c_str(), O_RDONLY);
        if (fd > 0) {
            close(fd);
            return dir;
        }
        if (fd == 0) close(fd);
        start = end + 1;
    }
    throw CannotOpen("Unable to open application path!", "");
}

void CutAtBundle(std::string& dir) {
    static const char kBundle[] = ".app/";
    for (size_t i = 0; i + 5 < dir.size(); ++i) {
        if (dir.compare(i, 5, kBundle) == 0) {
            dir.resize(i + 4);
            return;
        }
    }
}

}  // namespace

std::string LinuxApplication::FindApplicationPath(const std::string& p) {
    std::string dir;
    if (IsNameInCurrentDirectory(p)) {
        dir = CurrentWorkingDirectory();
    } else if (p.find('/') != std::string::npos) {
        const size_t slash = p.rfind('/');
        // A program directly under the root lives in "/".
        dir = slash >= 1 ? p.substr(0, slash) : std::string("/");
    } else {
        dir = SearchPath(p);
    }
    CutAtBundle(dir);
    return dir;
}

LinuxApplication::LinuxApplication(int count, char** arguments) {
    const std::string current = CurrentWorkingDirectory();
    const char* home = getenv("HOME");
    if (!home) throw CannotOpen("Cannot open preferences and documents directory, (HOME is not set)", "");
    // Checked here so the failure names HOME rather than only a directory.
    if (DIR* documents = opendir(*home ? home : "/")) {
        closedir(documents);
    } else {
        throw CannotOpen("Cannot open preferences and documents directory, (HOME is '" + std::string(home) +
                             "': " + strerror(errno) + ")",
                         home);
    }
    const std::string argv0 = count > 0 && arguments && arguments[0] ? arguments[0] : "";
    const std::string application = FindApplicationPath(argv0);

    mRootDirectory = Directory::Adopt(new PosixDirectory("/"));
    mApplicationDirectory = Directory::Adopt(new PosixDirectory(application));
    mCurrentDirectory = Directory::Adopt(new PosixDirectory(current));
    mDocumentsDirectory = Directory::Adopt(new PosixDirectory(home));
}

std::string LinuxApplication::GetUserName() {
    const char* name = getlogin();
    return name ? name : "";
}

bool LinuxApplication::PollEvents() { return !gAppTerminated; }

void LinuxApplication::ExitProcess(unsigned int code) { exit(static_cast<int>(code)); }

}  // namespace BS
