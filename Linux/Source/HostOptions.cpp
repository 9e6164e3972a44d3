#include "HostOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

bool ParseShotTimes(const std::string& text, std::vector<double>& times) {
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        double t = 0.0;
        if (!ParseNumber(text.substr(start, comma - start), t) || t < 0.0) return false;
        times.push_back(t);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(times.begin(), times.end());
    return true;
}

}  // namespace

const char* HostUsage() {
    return "usage: kestrel [--headless] [--fixed-fps N] [--shot T1,T2,... --out DIR] [--record FILE] [--help]\n"
           "  --headless      render without a window (EGL, no display server needed)\n"
           "  --fixed-fps N   deterministic clock: frame k plays at k/N seconds\n"
           "  --shot T,...    write the screen as PNG at the first frame at or after each time\n"
           "  --out DIR       directory for the --shot pictures (made when missing)\n"
           "  --record FILE   write the show as an H.264 video with its music (needs ffmpeg);\n"
           "                  headless on the fixed clock of 60 frames per second\n"
           "  --help          show this text\n";
}

bool ParseHostOptions(int argc, const char* const* argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--fixed-fps") {
            if (!hasValue || !ParseNumber(argv[++i], options.fixedFps) || options.fixedFps <= 0.0 ||
                options.fixedFps > 10000.0) {
                error = "--fixed-fps needs a frame rate above 0";
                return false;
            }
        } else if (arg == "--shot") {
            if (!hasValue || !ParseShotTimes(argv[++i], options.shotTimes)) {
                error = "--shot needs a comma-separated list of times in seconds";
                return false;
            }
        } else if (arg == "--out") {
            if (!hasValue || std::strlen(argv[i + 1]) == 0) {
                error = "--out needs a directory";
                return false;
            }
            options.outDir = argv[++i];
        } else if (arg == "--record") {
            if (!hasValue || std::strlen(argv[i + 1]) == 0) {
                error = "--record needs a file name";
                return false;
            }
            options.recordPath = argv[++i];
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (!options.recordPath.empty()) {
        if (options.fixedFps > 0.0 && options.fixedFps != 60.0) {
            error = "--record plays at 60 frames per second; leave --fixed-fps out";
            return false;
        }
        options.headless = true;
        options.fixedFps = 60.0;
    }
    if (!options.shotTimes.empty() && options.outDir.empty()) {
        error = "--shot needs --out DIR";
        return false;
    }
    if (options.shotTimes.empty() && !options.outDir.empty()) {
        error = "--out is only used with --shot";
        return false;
    }
    return true;
}
