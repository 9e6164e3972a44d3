#include "DataPlaces.h"

#include "BS/Export/BS_Application.h"
#include "DemoSys/Bundle.h"

namespace {

std::string Parent(const std::string& dir) {
    const size_t slash = dir.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : dir.substr(0, slash);
}

std::string Join(const std::string& dir, const std::string& relative) {
    return dir == "/" ? "/" + relative : dir + "/" + relative;
}

}  // namespace

std::vector<std::string> DataPlaces(const std::string& programFile) {
    const std::string beside = BS::LinuxApplication::FindApplicationPath(programFile);
    return {beside, Join(Parent(beside), "share/kestrel")};
}

DataPlaceChoice ChooseDataPlace(const std::vector<std::string>& places) {
    DataPlaceChoice choice;
    for (const std::string& place : places) {
        const std::string missing = Bundle::MissingDataFile(place);
        if (missing.empty()) return {place, {}};
        choice.lacks.push_back(place + ": " + missing + " missing");
    }
    return choice;
}
