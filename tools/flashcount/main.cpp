// Counts the general flashes of a video or a run of pictures (FlashRule.h).
//   flashcount [--fps N] VIDEO | FOLDER | -
// A folder's PNG pictures are its frames in the order of their names; "-"
// reads PPM frames from standard input. Frames are decoded by ffmpeg, N
// frames a second (60, the show's fixed clock, by default). Prints the
// seconds (whole seconds of the frames' time) that hold more than three
// flashes in some area, and the most any one second holds, starting at any
// frame; exits 0 when no second holds more than three, 1 when one does,
// 2 when the frames cannot be read.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "FlashRule.h"

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string DecodeCommand(const std::string& input, int fps) {
    struct stat info {};
    std::string source = "-i " + Quoted(input);
    if (stat(input.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        source = "-framerate " + std::to_string(fps) + " -pattern_type glob -i " + Quoted(input + "/*.png");
    return "ffmpeg -v error " + source + " -fps_mode passthrough -f image2pipe -c:v ppm -";
}

// The next token of a PPM header, skipping comments.
bool HeaderNumber(FILE* in, int& value) {
    int c = fgetc(in);
    while (c == '#' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        if (c == '#')
            while (c != '\n' && c != EOF) c = fgetc(in);
        c = fgetc(in);
    }
    if (c < '0' || c > '9') return false;
    value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        c = fgetc(in);
    }
    return true;  // the one whitespace after the number is consumed
}

struct Frames {
    int width = 0;
    int height = 0;
    std::vector<double> luminance[flash::kAreas];
    size_t Count() const { return luminance[0].size(); }
};

bool ReadFrames(FILE* in, Frames& frames) {
    std::vector<unsigned char> rgb;
    for (;;) {
        const int p = fgetc(in);
        if (p == EOF) return frames.Count() > 0;
        int width, height, maximum;
        if (p != 'P' || fgetc(in) != '6' || !HeaderNumber(in, width) || !HeaderNumber(in, height) ||
            !HeaderNumber(in, maximum) || maximum != 255 || width <= 0 || height <= 0)
            return false;
        rgb.resize(static_cast<size_t>(width) * height * 3);
        if (fread(rgb.data(), 1, rgb.size(), in) != rgb.size()) return false;
        frames.width = width;
        frames.height = height;
        double areas[flash::kAreas];
        flash::AreaLuminance(rgb.data(), width, height, areas);
        for (int a = 0; a < flash::kAreas; ++a) frames.luminance[a].push_back(areas[a]);
    }
}

// Whole seconds as "36-38, 44".
std::string Stretches(const std::vector<bool>& over) {
    std::string text;
    for (size_t s = 0; s < over.size(); ++s) {
        if (!over[s] || (s > 0 && over[s - 1])) continue;
        size_t last = s;
        while (last + 1 < over.size() && over[last + 1]) ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(s) + (last > s ? "-" + std::to_string(last) : "");
    }
    return text.empty() ? "none" : text;
}

int Report(const Frames& frames, int fps) {
    const int count = static_cast<int>(frames.Count());
    const int seconds = (count + fps - 1) / fps;
    printf("%d frames at %d a second (%.2f s), %d x %d\n", count, fps, static_cast<double>(count) / fps,
           frames.width, frames.height);
    std::vector<bool> overAnywhere(seconds, false);
    int most = 0, mostArea = 0, mostFrame = 0;
    for (int a = 0; a < flash::kAreas; ++a) {
        const std::vector<flash::Change> changes = flash::OpposingChanges(frames.luminance[a]);
        int over = 0, areaMost = 0;
        for (int s = 0; s < seconds; ++s) {
            const int n = flash::ChangesIn(changes, s * fps, (s + 1) * fps);
            if (flash::TooMany(n)) {
                ++over;
                overAnywhere[s] = true;
            }
            if (n > areaMost) areaMost = n;
        }
        for (int first = 0; first < count; ++first) {
            const int n = flash::ChangesIn(changes, first, first + fps);
            if (n > most) most = n, mostArea = a, mostFrame = first;
        }
        printf("%-14s %4zu changes, %3d seconds with more than %d flashes, at most %.1f in a second\n",
               flash::AreaName(a), changes.size(), over, flash::kMostPerSecond, areaMost / 2.0);
    }
    printf("seconds with more than %d flashes in some area: %s\n", flash::kMostPerSecond,
           Stretches(overAnywhere).c_str());
    printf("at most %.1f flashes in any one second (%s, from %.3f s): %s\n", most / 2.0, flash::AreaName(mostArea),
           static_cast<double>(mostFrame) / fps, flash::TooMany(most) ? "too many" : "within the rule");
    return flash::TooMany(most) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    int fps = 60;
    int at = 1;
    if (argc == 4 && strcmp(argv[1], "--fps") == 0) {
        fps = atoi(argv[2]);
        at = 3;
    }
    if (argc != at + 1 || fps <= 0) {
        fprintf(stderr, "usage: flashcount [--fps N] VIDEO | FOLDER | -\n");
        return 2;
    }
    const std::string input = argv[at];
    FILE* in = input == "-" ? stdin : popen(DecodeCommand(input, fps).c_str(), "r");
    Frames frames;
    const bool read = in && ReadFrames(in, frames);
    const bool closed = input == "-" || (in && pclose(in) == 0);
    if (!read || !closed) {
        fprintf(stderr, "flashcount: cannot read the frames of %s\n", input.c_str());
        return 2;
    }
    return Report(frames, fps);
}
