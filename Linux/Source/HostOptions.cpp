#include "HostOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "DemoSys/FramePacing.h"
#include "DemoSys/Host.h"
#include "DemoSys/Timeline.h"
#include "DemoSys/ViewerOffset.h"
#include "RecordingSurface.h"

namespace {

constexpr double kMaxFixedRate = 10000.0;

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
        // "-0" names the same picture as "0".
        times.push_back(t + 0.0);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

std::string Format(double value) {
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    return text;
}

// The demo time of the first frame at or after t on a clock of fps frames
// per second, computed as the fixed clock computes it.
double FirstFrameAtOrAfter(double t, double fps) {
    double frame = std::ceil(t * fps);
    while (frame > 0.0 && (frame - 1.0) / fps >= t) frame -= 1.0;
    while (frame / fps < t) frame += 1.0;
    return frame / fps;
}

// The demo time of the first frame at or after t that a display of hz
// refreshes a second plays on the fixed clock, refresh k at k/hz.
double FirstPlayedAtOrAfter(double t, double hz) {
    FramePacer pacer;
    for (long long k = 0;; ++k) {
        const double now = static_cast<double>(k) / hz;
        if (pacer.Due(now, 1.0 / hz) && now >= t) return now;
    }
}

// Whether the show, which ends inside the first frame at or after its end,
// still presents a frame for the shot time t.
bool CheckShotTime(double t, const HostOptions& options, std::string& error) {
    if (t >= kShowEnd) {
        error = "--shot time " + Format(t) + " is at or after the end of the show (" + Format(kShowEnd) + " s)";
        return false;
    }
    if (options.fixedFps > 0.0 && FirstFrameAtOrAfter(t, options.fixedFps) >= kShowEnd) {
        error = "--shot time " + Format(t) + " is never reached at " + Format(options.fixedFps) +
                " frames per second: the show ends first";
        return false;
    }
    if (options.refreshRate > 0.0 && FirstPlayedAtOrAfter(t, options.refreshRate) >= kShowEnd) {
        error = "--shot time " + Format(t) + " is never reached at a refresh rate of " + Format(options.refreshRate) +
                " Hz: the show ends first";
        return false;
    }
    return true;
}

// A value that begins like an option is taken for a forgotten value; numbers
// such as "-0" are values. "--name=value" passes anything literally.
bool LooksLikeOption(const std::string& text) {
    return text.size() > 1 && text[0] == '-' && !isdigit(static_cast<unsigned char>(text[1])) && text[1] != '.';
}

template <bool HostOptions::*flag>
bool SetFlag(const std::string&, HostOptions& options, std::string&) {
    options.*flag = true;
    return true;
}

struct Option {
    const char* name;
    const char* value;  // what the value is, for messages; null for a flag
    bool repeatable;
    bool (*apply)(const std::string& value, HostOptions& options, std::string& error);
};

const Option kOptions[] = {
    {"--headless", nullptr, true,
     [](const std::string&, HostOptions& o, std::string&) {
         o.headless = true;
         return true;
     }},
    {"--fixed-fps", "a frame rate", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         if (ParseNumber(v, o.fixedFps) && o.fixedFps > 0.0 && o.fixedFps <= kMaxFixedRate) return true;
         error = "--fixed-fps needs a frame rate above 0 and at most " + Format(kMaxFixedRate) + ", not '" + v + "'";
         return false;
     }},
    {"--refresh-rate", "a refresh rate", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         if (ParseNumber(v, o.refreshRate) && o.refreshRate > 0.0 && o.refreshRate <= kMaxFixedRate) return true;
         error = "--refresh-rate needs a refresh rate above 0 and at most " + Format(kMaxFixedRate) + ", not '" + v +
                 "'";
         return false;
     }},
    {"--start", "a time in seconds", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         if (ParseNumber(v, o.startTime) && o.startTime >= 0.0 && o.startTime < kShowEnd) {
             o.startTime += 0.0;  // "-0" is the start
             return true;
         }
         error = "--start needs a time from 0 up to the show's end (" + Format(kShowEnd) + " s), not '" + v + "'";
         return false;
     }},
    {"--shot", "a comma-separated list of times in seconds", true,
     [](const std::string& v, HostOptions& o, std::string& error) {
         if (ParseShotTimes(v, o.shotTimes)) return true;
         error = "--shot needs a comma-separated list of times of 0 s or later, not '" + v + "'";
         return false;
     }},
    {"--out", "a directory", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         o.outDir = v;
         if (!v.empty()) return true;
         error = "--out needs a directory";
         return false;
     }},
    {"--record", "a video file name", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         o.recordPath = v;
         if (RecordingSurface::ContainerFor(v)) return true;
         error = "--record needs a video file name ending in " + std::string(RecordingSurface::kContainerNames) +
                 ", not '" + v + "'";
         return false;
     }},
    {"--scale", "a number from 1 to 8 in steps of a quarter", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         double scale = 0.0;
         if (ParseNumber(v, scale) && scale >= 1.0 && scale <= Host::kMaxRenderScale &&
             scale / Host::kRenderScaleStep == std::floor(scale / Host::kRenderScaleStep)) {
             o.renderScale = static_cast<float>(scale);
             return true;
         }
         error = "--scale needs a number from 1 to " + std::to_string(Host::kMaxRenderScale) +
                 " in steps of a quarter (1, 1.25, 1.5, ...), not '" + v + "'";
         return false;
     }},
    {"--av-offset", "milliseconds", false,
     [](const std::string& v, HostOptions& o, std::string& error) {
         const double limit = ViewerOffset::kLimit * 1000.0;
         if (ParseNumber(v, o.avOffset) && std::abs(o.avOffset) <= limit) {
             o.avOffset = o.avOffset / 1000.0 + 0.0;
             return true;
         }
         error = "--av-offset needs milliseconds from " + Format(-limit) + " to " + Format(limit) + ", not '" + v + "'";
         return false;
     }},
    {"--portrait", nullptr, false, SetFlag<&HostOptions::portrait>},
    {"--fullscreen", nullptr, false, SetFlag<&HostOptions::fullscreen>},
    {"--upright", nullptr, false, SetFlag<&HostOptions::uprightShots>},
    {"--gentle", nullptr, false, SetFlag<&HostOptions::gentle>},
};

const Option* FindOption(const std::string& name) {
    for (const Option& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

bool CheckCombination(HostOptions& options, std::string& error) {
    if (options.fullscreen && (options.headless || !options.recordPath.empty())) {
        error = "--fullscreen needs a window; leave out --headless and --record";
        return false;
    }
    if (options.fixedFps > 0.0 && options.refreshRate > 0.0) {
        error = "--fixed-fps and --refresh-rate each set the fixed clock; give one";
        return false;
    }
    if (!options.recordPath.empty()) {
        if (options.refreshRate > 0.0) {
            error = "--record plays at 60 frames per second; leave --refresh-rate out";
            return false;
        }
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
    if (options.shotTimes.empty() && options.uprightShots) {
        error = "--upright is only used with --shot";
        return false;
    }
    std::sort(options.shotTimes.begin(), options.shotTimes.end());
    if (!options.shotTimes.empty() && options.shotTimes.front() < options.startTime) {
        error = "--shot time " + Format(options.shotTimes.front()) + " is before --start " + Format(options.startTime);
        return false;
    }
    for (double t : options.shotTimes)
        if (!CheckShotTime(t, options, error)) return false;
    return true;
}

}  // namespace

const char* HostUsage() {
    return "usage: kestrel [--headless] [--fixed-fps N | --refresh-rate N] [--start T]\n"
           "               [--shot T1,T2,... --out DIR [--upright]] [--record FILE] [--scale N]\n"
           "               [--av-offset MS] [--portrait] [--fullscreen] [--gentle] [--help]\n"
           "  --headless      render without a window (EGL, no display server needed)\n"
           "  --fixed-fps N   deterministic clock: frame k plays at k/N seconds (0 < N <= 10000)\n"
           "  --refresh-rate N\n"
           "                  deterministic clock standing in for a display of N refreshes a\n"
           "                  second (0 < N <= 10000): refresh k comes at k/N seconds, and a\n"
           "                  frame plays on the refresh nearest each 1/60 s tick (every\n"
           "                  refresh at 60 and below), as on a real display\n"
           "  --start T       begin the show, and its music, T seconds in (0 <= T < 185); every\n"
           "                  frame from there is the frame a whole run shows\n"
           "  --shot T,...    write the screen as PNG at the first frame at or after each time\n"
           "                  (before the show's end at 185 s; may be given more than once)\n"
           "  --out DIR       directory for the --shot pictures (made when missing)\n"
           "  --upright       write the --shot pictures turned upright, as the window shows\n"
           "                  them, instead of the raw portrait screen\n"
           "  --record FILE   write the show as an H.264 video with its music (needs ffmpeg;\n"
           "                  FILE ends in .mp4, .mkv or .mov); headless on the fixed clock\n"
           "                  of 60 frames per second; the video is the upright picture,\n"
           "                  480N x 320N pixels at --scale N\n"
           "  --scale N       render at N times the screen's pixels along each side (1 to 8,\n"
           "                  in steps of a quarter: 1.5 draws 480 x 720); in a window the\n"
           "                  default follows the window's size (at most 4) and falls to\n"
           "                  the largest quarter whose frames keep their time, else 1\n"
           "  --av-offset MS  show the picture MS milliseconds later than the music is heard\n"
           "                  (earlier when negative; -1000 to 1000), for a sound output\n"
           "                  whose delay the program cannot know, such as a wireless\n"
           "                  headset; the output's reported latency is always allowed for\n"
           "  --portrait      show and record the raw portrait screen, not turned upright\n"
           "  --fullscreen    start fullscreen (F11 or Alt+Enter toggles it in the window)\n"
           "  --gentle        the gentle mode, for a viewer sensitive to flashing lights: the\n"
           "                  picture turns bright and back at most three times a second,\n"
           "                  its beats and cuts softened, not removed (G toggles it in the\n"
           "                  window); in the window, headless, in pictures and in videos\n"
           "  -h, --help      show this text\n"
           "Keys in the window: Space pauses and resumes, Left and Right go 5 s back and\n"
           "forward, Home goes to the start, - and + show the picture 10 ms earlier and\n"
           "later, G turns the gentle mode on or off, F11 or Alt+Enter toggles fullscreen,\n"
           "Escape quits. The show as made never pauses or seeks: these are the player's.\n"
           "Options take their value as '--name value' or '--name=value'; the second form\n"
           "also takes values that begin with '-'.\n";
}

bool ParseHostOptions(int argc, const char* const* argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        }
    }
    std::set<std::string> given;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        const Option* option = FindOption(name);
        if (!option) {
            error = "unknown option '" + std::string(argv[i]) + "'";
            return false;
        }
        if (!option->repeatable && !given.insert(name).second) {
            error = name + " is given more than once";
            return false;
        }
        if (!option->value) {
            if (hasValue) {
                error = name + " takes no value";
                return false;
            }
        } else if (!hasValue) {
            if (i + 1 >= argc) {
                error = name + " needs " + option->value;
                return false;
            }
            value = argv[++i];
            if (LooksLikeOption(value)) {
                error = name + " needs " + option->value + ", not the option '" + value + "' (write " + name + "=" +
                        value + " for a value of that name)";
                return false;
            }
        }
        if (!option->apply(value, options, error)) return false;
    }
    return CheckCombination(options, error);
}
