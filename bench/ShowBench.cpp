// kestrel-bench: plays the show headless on a fixed 60 fps clock and prints,
// per scene, the frames it drew, the median and 99th-percentile frame times
// (CPU time to submit the frame, and the time until glFinish returns), and
// the heap allocations per frame made by the show's code after loading (and,
// apart, the GL driver's, which compiles shader variants on first use);
// then the load time, the peak resident memory and the scene-file import
// rate.
//   kestrel-bench [--from S] [--seconds S] [--scale N] [--stride K] [--json FILE]
// --from skips the show's clock ahead to S after the first frame (which
// starts the music and the show's clock), to measure or profile one stretch;
// --scale renders at N times the screen's pixels, as the program's --scale;
// --stride draws only every K-th frame (the clock still steps through the
// others), for a quicker sample of a slow scale.
#include <GLES2/gl2.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Application.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/GLView.h"
#include "DemoSys/Host.h"
#include "DemoSys/demo.h"
#include "Linux/Source/DisplaySurface.h"
#include "Linux/Source/PlatformClock.h"

namespace {

constexpr double kRate = 60.0;

double Seconds(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct SceneFigures {
    std::vector<double> cpuMs, finishMs;
    long allocations = 0;     // by the show's own code
    long driverAllocations = 0;
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5));
    return values[at];
}

// Imports the data tree's scene files from memory, their pictures from the
// scene's own folder as the show finds them: megabytes per second.
double ImportRate() {
    const struct {
        const char* folder;
        const char* file;
    } files[] = {{"/FxData/Vantor/", "07_robot2.mas"}, {"/FxData/Scene4/", "shadow.mas"}, {"/FxData/Scene5/", "sawblade.mas"}};
    double bytes = 0.0, seconds = 0.0;
    for (const auto& [folder, file] : files) {
        std::ifstream in(Bundle::Path() + folder + file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string data = text.str();
        B3D_World world;
        DAS scene(&world);
        const double start = Seconds(CLOCK_MONOTONIC);
        DAS_MAS_Importer importer(&scene, nullptr);
        importer.ImportBytes(data.data(), data.size(), Bundle::Path() + folder);
        seconds += Seconds(CLOCK_MONOTONIC) - start;
        bytes += static_cast<double>(data.size());
    }
    return seconds > 0.0 ? bytes / (1 << 20) / seconds : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    double showSeconds = 184.9, fromSeconds = 0.0;
    int scale = 1, stride = 1;
    std::string jsonPath;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--seconds") && i + 1 < argc) showSeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--from") && i + 1 < argc) fromSeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--json") && i + 1 < argc) jsonPath = argv[++i];
        else if (!strcmp(argv[i], "--scale") && i + 1 < argc) scale = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--stride") && i + 1 < argc) stride = std::max(1, atoi(argv[++i]));
        else {
            fprintf(stderr, "usage: kestrel-bench [--from S] [--seconds S] [--scale N] [--stride K] [--json FILE]\n");
            return 2;
        }
    }
    static char program[] = KESTREL_BUNDLE "/kestrel";
    static char* appArgs[] = {program, nullptr};
    BS::gApplication = new BS::LinuxApplication(1, appArgs);
    Bundle::SetPath(KESTREL_BUNDLE);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PlatformClock::UseFixedRate(kRate);
    std::unique_ptr<DisplaySurface> surface = CreateHeadlessSurface();
    if (!surface) return 1;
    Host::SetRenderScale(scale);
    GLView view;
    view.setContext(surface.get());
    view.setFramebuffer();

    // The show's own lines would bury the table.
    fflush(stdout);
    const int table = dup(1);
    if (!freopen("/dev/null", "w", stdout)) return 1;

    const double loadStart = Seconds(CLOCK_MONOTONIC);
    demo show;
    show.demoload(&view);
    const double loadSeconds = Seconds(CLOCK_MONOTONIC) - loadStart;

    std::map<std::string, SceneFigures> figures;
    ArmAllocationAttribution(true);
    const int frames = static_cast<int>(showSeconds * kRate), firstMeasured = static_cast<int>(fromSeconds * kRate);
    for (int frame = 0; frame < frames; ++frame) {
        if (frame > 0 && (frame < firstMeasured || frame % stride != 0)) {
            PlatformClock::AdvanceFrame();
            continue;
        }
        view.setFramebuffer();
        const long allocations = AllocationCount(), own = OwnAllocationCount();
        const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID), wallStart = Seconds(CLOCK_MONOTONIC);
        show.demoplayback(frame);
        const double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        glFinish();
        const double finish = Seconds(CLOCK_MONOTONIC) - wallStart;
        const long ours = OwnAllocationCount() - own, driver = AllocationCount() - allocations - ours;
        view.presentFramebuffer();
        PlatformClock::AdvanceFrame();
        // The bookkeeping below allocates; it is outside the measured span.
        const FrameScenes& scenes = show.LastScenes();
        SceneFigures& f = figures[SceneName(scenes.calls[scenes.count - 1].scene)];
        f.cpuMs.push_back(cpu * 1000.0);
        f.finishMs.push_back(finish * 1000.0);
        if (frame > 0) {  // frame 0 starts the music
            f.allocations += ours;
            f.driverAllocations += driver;
        }
    }
    ArmAllocationAttribution(false);
    const double importRate = ImportRate();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    fflush(stdout);
    dup2(table, 1);

    printf("%-14s %7s %10s %10s %12s %12s %12s %10s\n", "scene", "frames", "cpu p50", "cpu p99", "finish p50",
           "finish p99", "allocs/frame", "driver's");
    std::ostringstream json;
    json << "{\n  \"scenes\": {";
    bool first = true;
    for (const auto& [name, f] : figures) {
        const double perFrame = static_cast<double>(f.allocations) / static_cast<double>(f.cpuMs.size());
        printf("%-14s %7zu %8.2fms %8.2fms %10.2fms %10.2fms %12.2f %10ld\n", name.c_str(), f.cpuMs.size(),
               Percentile(f.cpuMs, 0.5), Percentile(f.cpuMs, 0.99), Percentile(f.finishMs, 0.5),
               Percentile(f.finishMs, 0.99), perFrame, f.driverAllocations);
        json << (first ? "\n" : ",\n") << "    \"" << name << "\": {\"frames\": " << f.cpuMs.size()
             << ", \"cpu_p50_ms\": " << Percentile(f.cpuMs, 0.5) << ", \"cpu_p99_ms\": " << Percentile(f.cpuMs, 0.99)
             << ", \"finish_p50_ms\": " << Percentile(f.finishMs, 0.5)
             << ", \"finish_p99_ms\": " << Percentile(f.finishMs, 0.99) << ", \"allocations_per_frame\": " << perFrame << ", \"driver_allocations\": " << f.driverAllocations
             << "}";
        first = false;
    }
    const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    printf("load %.3f s | peak resident %.1f MB | scene-file import %.1f MB/s\n", loadSeconds, peakMb, importRate);
    json << "\n  },\n  \"load_seconds\": " << loadSeconds << ",\n  \"peak_resident_mb\": " << peakMb
         << ",\n  \"mas_import_mb_per_second\": " << importRate << "\n}\n";
    if (!jsonPath.empty()) std::ofstream(jsonPath) << json.str();
    fflush(stdout);
    _exit(0);  // the show's objects live until the process ends
}
