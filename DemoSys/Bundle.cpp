#include "Bundle.h"

#include <filesystem>
#include <system_error>

namespace Bundle {

namespace {
std::string& Storage() {
    static std::string lPath;
    return lPath;
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}
}  // namespace

const char* const kPostProcessNormal = "/FxData/Common/PostProcessNormal";
const char* const kPostProcessGryn = "/FxData/Common/PostProcessGryn";

const std::string& Path() { return Storage(); }

void SetPath(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    Storage() = p;
}

std::string MissingDataFile(const std::string& place) {
    if (!IsDirectory(place + "/FxData")) return "FxData";
    for (const char* shader : {kPostProcessNormal, kPostProcessGryn})
        for (const char* ending : {".vsh", ".fsh"}) {
            const std::string relative = std::string(shader + 1) + ending;
            if (!IsFile(place + "/" + relative)) return relative;
        }
    return "";
}

std::string DataTreePath() { return Path() + "/FxData"; }

bool HasDataTree() { return MissingDataFile(Path()).empty(); }

}  // namespace Bundle
