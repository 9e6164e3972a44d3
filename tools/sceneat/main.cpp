// Which scenes the show draws at given times on a fixed clock, worked out as
// the program plays them: frame k at k/FPS, the beat tables read frame by
// frame, so that the beat sections' bass-beat counters move as in the show.
//   scene-at FPS T1,T2,...
// prints "T FRAME_TIME SCENE[+SCENE]" for the first frame at or after each T,
// the scene names as the program's classes are named.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DemoSys/Timeline.h"

namespace {

bool ParseTimes(const char* text, std::vector<double>& times) {
    for (const char* at = text;;) {
        char* end = nullptr;
        times.push_back(strtod(at, &end));
        if (end == at || (*end != ',' && *end != '\0') || times.back() < 0.0) return false;
        if (*end == '\0') return true;
        at = end + 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<double> times;
    const double fps = argc == 3 ? strtod(argv[1], nullptr) : 0.0;
    if (fps <= 0.0 || !ParseTimes(argv[2], times)) {
        fprintf(stderr, "usage: scene-at FPS T1,T2,...\n");
        return 2;
    }
    BeatTracker beats;
    SectionCounters counters;
    for (long long frame = 0;; ++frame) {
        const double t = static_cast<double>(frame) / fps;
        if (t >= kShowEnd) break;
        const FrameScenes scenes = ScheduleScenes(t, beats.Advance(t).bass, counters);
        for (double wanted : times) {
            if (t < wanted || (frame > 0 && static_cast<double>(frame - 1) / fps >= wanted)) continue;
            std::string names;
            for (int i = 0; i < scenes.count; ++i) names += (i ? "+" : "") + std::string(SceneName(scenes.calls[i].scene));
            printf("%g %.3f %s\n", wanted, t, names.c_str());
        }
    }
    return 0;
}
