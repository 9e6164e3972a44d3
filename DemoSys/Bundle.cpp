#include "Bundle.h"

#include <filesystem>
#include <system_error>

namespace Bundle {

namespace {
std::string& Storage() {
    static std::string lPath;
    return lPath;
}
}  // namespace

const std::string& Path() { return Storage(); }

void SetPath(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    Storage() = p;
}

std::string DataTreePath() { return Path() + "/FxData"; }

bool HasDataTree() {
    std::error_code error;
    return std::filesystem::is_directory(DataTreePath(), error);
}

}  // namespace Bundle
