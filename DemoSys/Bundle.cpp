#include "Bundle.h"

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

}  // namespace Bundle
