#include "PageOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "DemoSys/Timeline.h"
#include "DemoSys/ViewerOffset.h"

namespace {

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

bool ParseTimes(const std::string& list, std::vector<double>& times) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        double t = 0.0;
        if (!ParseNumber(list.substr(start, comma - start), t) || t < 0.0) return false;
        times.push_back(t);
        start = comma + 1;
    }
    std::sort(times.begin(), times.end());
    return true;
}

}  // namespace

bool ParsePageOptions(int argc, const char* const* argv, PageOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
        if (name == "--fixed-fps") {
            if (!ParseNumber(value, options.fixedFps) || options.fixedFps <= 0.0) {
                error = "fixed-fps needs a positive number of frames per second";
                return false;
            }
        } else if (name == "--start") {
            if (!ParseNumber(value, options.startTime) || options.startTime < 0.0 || options.startTime >= kShowEnd) {
                error = "start needs a time in seconds from 0 up to the show's end";
                return false;
            }
        } else if (name == "--shot") {
            if (!ParseTimes(value, options.shotTimes)) {
                error = "shot needs a comma-separated list of times in seconds";
                return false;
            }
        } else if (name == "--av") {
            if (!ParseNumber(value, options.avOffset) || std::abs(options.avOffset) > ViewerOffset::kLimit * 1000.0) {
                error = "av needs milliseconds from -1000 to 1000";
                return false;
            }
            options.avOffset /= 1000.0;
        } else if (name == "--gentle") {
            if (value != "1" && value != "0") {
                error = "gentle needs 1 or 0";
                return false;
            }
            options.gentle = value == "1";
        } else {
            error = "the page takes no parameter " + name.substr(2) + " (only start, fixed-fps, shot, av and gentle)";
            return false;
        }
    }
    return true;
}
