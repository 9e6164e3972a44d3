// kestrel-bench: plays the show headless on a fixed 60 fps clock and prints,
// per scene, the frames it drew, the median and 99th-percentile frame times
// (CPU time to submit the frame, the time until glFinish returns, and the
// thread's CPU time until then, which is the whole frame's work when Mesa's
// rasteriser runs without worker threads, LP_NUM_THREADS=0), how many
// full-screen fragments a frame shades, the heap allocations per frame made by
// the show's code after loading (and, apart, the GL driver's, which compiles
// shader variants on first use); then the fill rate of plain full-screen
// passes at the same size, the load time, the peak resident memory and the
// scene-file import rate.
//   kestrel-bench [--from S] [--seconds S] [--scale N] [--stride K] [--count-stride K] [--no-count]
//                 [--json FILE] [--frames FILE]
//   kestrel-bench --advance
// --advance times what a seek does instead: every frame of the show played
// without drawing, per scene (median and 99th percentile, and the scene's
// time on screen over the time its frames took), then a seek from the
// show's end back to 160 s, which starts again from the kept start. The
// particle figure's last half second is drawn even so: its picture keeps
// rows of the frames before.
// --from skips the show's clock ahead to S after the first frame (which
// starts the music and the show's clock), to measure or profile one stretch;
// --scale renders at N times the screen's pixels, as the program's --scale;
// --stride draws only every K-th frame (the clock still steps through the
// others), for a quicker sample of a slow scale.
// Fragments are counted first, in a child process of its own (an occlusion
// query needs a desktop OpenGL context), at scale 1 on every K-th frame
// (--count-stride, default 5); the count is in screens: fragments that pass
// the depth test over the screen's pixels, the composite's pass included.
// "passes" states a frame's median time as textured full-screen passes.
#include <GLES3/gl3.h>
#include <sys/resource.h>
#include <sys/wait.h>
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
#include "BenchSupport.h"
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
    std::vector<double> cpuMs, finishMs, frameCpuMs;
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

struct Options {
    double showSeconds = 184.9, fromSeconds = 0.0;
    float scale = 1.0f;
    int stride = 1, countStride = 5;
    bool count = true;
    std::string jsonPath, framesPath;
};

// Screens of fragments per frame, per scene: median and largest.
struct Shaded {
    double median = 0.0, most = 0.0;
};

void StartShow(DisplaySurface* surface, GLView& view, float scale) {
    static char program[] = KESTREL_BUNDLE "/kestrel";
    static char* appArgs[] = {program, nullptr};
    BS::gApplication = new BS::LinuxApplication(1, appArgs);
    Bundle::SetPath(KESTREL_BUNDLE);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PlatformClock::UseFixedRate(kRate);
    Host::SetRenderScale(scale);
    view.setContext(surface);
    view.setFramebuffer();
}

// Whether the frame is drawn, or the clock only stepped past it.
bool Drawn(int frame, int firstMeasured, int stride) {
    return frame == 0 || (frame >= firstMeasured && frame % stride == 0);
}

// The child's side of the count: plays the show and writes "scene median most"
// lines to the pipe.
int CountFragments(const Options& options, int out) {
    if (!freopen("/dev/null", "w", stdout)) return 1;
    std::unique_ptr<DisplaySurface> surface = CreateCountingSurface();
    if (!surface) return 1;
    GLView view;
    StartShow(surface.get(), view, 1);
    demo show;
    show.demoload(&view);
    constexpr GLenum kSamplesPassed = 0x8914;
    GLuint query = 0;
    glGenQueries(1, &query);
    const double screen = DisplaySurface::kScreenWidth * DisplaySurface::kScreenHeight;
    std::map<std::string, std::vector<double>> screens;
    const int frames = static_cast<int>(options.showSeconds * kRate);
    const int firstMeasured = static_cast<int>(options.fromSeconds * kRate);
    for (int frame = 0; frame < frames; ++frame) {
        if (!Drawn(frame, firstMeasured, options.countStride)) {
            PlatformClock::AdvanceFrame();
            continue;
        }
        view.setFramebuffer();
        glBeginQuery(kSamplesPassed, query);
        show.demoplayback(frame);
        glEndQuery(kSamplesPassed);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        view.presentFramebuffer();
        PlatformClock::AdvanceFrame();
        const FrameScenes& scenes = show.LastScenes();
        screens[SceneName(scenes.calls[scenes.count - 1].scene)].push_back(static_cast<double>(samples) / screen);
    }
    std::string text;
    for (const auto& [name, values] : screens) {
        char line[128];
        snprintf(line, sizeof line, "%s %.4f %.4f\n", name.c_str(), Percentile(values, 0.5),
                 *std::max_element(values.begin(), values.end()));
        text += line;
    }
    return write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
}

// Runs the count in a child process, so that its desktop context and its own
// show never meet the measured one; empty when it fails.
std::map<std::string, Shaded> CountInChild(const Options& options) {
    std::map<std::string, Shaded> counts;
    int ends[2];
    if (pipe(ends) != 0) return counts;
    fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return counts;
    if (child == 0) {
        close(ends[0]);
        _exit(CountFragments(options, ends[1]));
    }
    close(ends[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::istringstream lines(text);
    std::string name;
    Shaded shaded;
    while (lines >> name >> shaded.median >> shaded.most) counts[name] = shaded;
    return counts;
}

// A screen that wants no picture: every frame is played without drawing.
class NothingWanted : public DisplaySurface {
public:
    bool MakeCurrent() override { return true; }
    bool Present(unsigned int, int, int) override { return true; }
    SurfaceEvents PollEvents() override { return {}; }
    double RefreshPeriod() const override { return 0.0; }
    bool WantsPicture(double) const override { return false; }
};

int MeasureAdvance(int table) {
    std::unique_ptr<DisplaySurface> surface = CreateHeadlessSurface();
    if (!surface) return 1;
    GLView view;
    StartShow(surface.get(), view, 1);
    demo show;
    show.demoload(&view);
    NothingWanted judge;
    SetFrameJudge(&judge);
    std::map<std::string, std::vector<double>> figures;
    for (int frame = 0; frame < static_cast<int>(184.9 * kRate); ++frame) {
        const double start = Seconds(CLOCK_MONOTONIC);
        show.demoplayback(frame);
        const double ms = (Seconds(CLOCK_MONOTONIC) - start) * 1000.0;
        PlatformClock::AdvanceFrame();
        const FrameScenes& scenes = show.LastScenes();
        figures[SceneName(scenes.calls[scenes.count - 1].scene)].push_back(ms);
    }
    const double seekStart = Seconds(CLOCK_MONOTONIC);
    Host::SeekShow(160.0);
    show.demoplayback(0);
    const double seekSeconds = Seconds(CLOCK_MONOTONIC) - seekStart;
    fflush(stdout);
    dup2(table, 1);
    printf("%-14s %6s %11s %11s %12s\n", "scene", "frames", "advance p50", "advance p99", "x real time");
    for (const auto& [name, ms] : figures) {
        double total = 0.0;
        for (double m : ms) total += m;
        const double shown = static_cast<double>(ms.size()) / kRate * 1000.0;
        printf("%-14s %6zu %9.3fms %9.3fms %12.0f\n", name.c_str(), ms.size(), Percentile(ms, 0.5),
               Percentile(ms, 0.99), total > 0.0 ? shown / total : 0.0);
    }
    printf("seek from 184.9 s back to 160 s (from the kept start): %.3f s\n", seekSeconds);
    fflush(stdout);
    _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && !strcmp(argv[1], "--advance")) {
        fflush(stdout);
        const int table = dup(1);
        if (!freopen("/dev/null", "w", stdout)) return 1;
        return MeasureAdvance(table);
    }
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--seconds") && i + 1 < argc) options.showSeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--from") && i + 1 < argc) options.fromSeconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--json") && i + 1 < argc) options.jsonPath = argv[++i];
        else if (!strcmp(argv[i], "--frames") && i + 1 < argc) options.framesPath = argv[++i];
        else if (!strcmp(argv[i], "--scale") && i + 1 < argc) options.scale = static_cast<float>(atof(argv[++i]));
        else if (!strcmp(argv[i], "--stride") && i + 1 < argc) options.stride = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "--count-stride") && i + 1 < argc) options.countStride = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "--no-count")) options.count = false;
        else {
            fprintf(stderr,
                    "usage: kestrel-bench [--from S] [--seconds S] [--scale N] [--stride K] [--count-stride K] "
                    "[--no-count] [--json FILE] [--frames FILE]\n       kestrel-bench --advance\n");
            return 2;
        }
    }
    const float scale = options.scale;
    const int stride = options.stride;
    // Before any context exists here: the child starts from a clean process.
    const std::map<std::string, Shaded> shaded = options.count ? CountInChild(options) : std::map<std::string, Shaded>();

    std::unique_ptr<DisplaySurface> surface = CreateHeadlessSurface();
    if (!surface) return 1;
    GLView view;
    StartShow(surface.get(), view, scale);

    // The show's own lines would bury the table.
    fflush(stdout);
    const int table = dup(1);
    if (!freopen("/dev/null", "w", stdout)) return 1;

    const double loadStart = Seconds(CLOCK_MONOTONIC);
    demo show;
    show.demoload(&view);
    const double loadSeconds = Seconds(CLOCK_MONOTONIC) - loadStart;

    std::map<std::string, SceneFigures> figures;
    std::ostringstream frameLines;
    ArmAllocationAttribution(true);
    const int frames = static_cast<int>(options.showSeconds * kRate);
    const int firstMeasured = static_cast<int>(options.fromSeconds * kRate);
    for (int frame = 0; frame < frames; ++frame) {
        if (!Drawn(frame, firstMeasured, stride)) {
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
        const double frameCpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        const long ours = OwnAllocationCount() - own, driver = AllocationCount() - allocations - ours;
        view.presentFramebuffer();
        PlatformClock::AdvanceFrame();
        // The bookkeeping below allocates; it is outside the measured span.
        const FrameScenes& scenes = show.LastScenes();
        const char* scene = SceneName(scenes.calls[scenes.count - 1].scene);
        SceneFigures& f = figures[scene];
        if (!options.framesPath.empty())
            frameLines << static_cast<double>(frame) / kRate << ' ' << scene << ' ' << finish * 1000.0 << ' '
                       << frameCpu * 1000.0 << '\n';
        f.cpuMs.push_back(cpu * 1000.0);
        f.finishMs.push_back(finish * 1000.0);
        f.frameCpuMs.push_back(frameCpu * 1000.0);
        if (frame > 0) {  // frame 0 starts the music
            f.allocations += ours;
            f.driverAllocations += driver;
        }
    }
    ArmAllocationAttribution(false);
    const FillLimits limits = MeasureFillLimits(view.framebufferWidth, view.framebufferHeight);
    const double importRate = ImportRate();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    fflush(stdout);
    dup2(table, 1);

    printf("%-14s %6s %9s %9s %10s %10s %9s %9s %8s %8s %7s %7s %8s\n", "scene", "frames", "cpu p50", "cpu p99",
           "finish p50", "finish p99", "fcpu p50", "fcpu p99", "shaded", "most", "passes", "allocs", "driver's");
    std::ostringstream json;
    json << "{\n  \"scenes\": {";
    bool first = true;
    const double passMs = limits.textured.finishMs, passCpuMs = limits.textured.cpuMs;
    for (const auto& [name, f] : figures) {
        const double perFrame = static_cast<double>(f.allocations) / static_cast<double>(f.cpuMs.size());
        const auto found = shaded.find(name);
        const Shaded counted = found == shaded.end() ? Shaded{} : found->second;
        const double finish50 = Percentile(f.finishMs, 0.5), finish99 = Percentile(f.finishMs, 0.99);
        const double passes = passMs > 0.0 ? finish50 / passMs : 0.0;
        printf("%-14s %6zu %7.2fms %7.2fms %8.2fms %8.2fms %7.2fms %7.2fms %8.2f %8.2f %7.1f %7.2f %8ld\n",
               name.c_str(), f.cpuMs.size(), Percentile(f.cpuMs, 0.5), Percentile(f.cpuMs, 0.99), finish50, finish99,
               Percentile(f.frameCpuMs, 0.5), Percentile(f.frameCpuMs, 0.99), counted.median, counted.most, passes,
               perFrame, f.driverAllocations);
        json << (first ? "\n" : ",\n") << "    \"" << name << "\": {\"frames\": " << f.cpuMs.size()
             << ", \"cpu_p50_ms\": " << Percentile(f.cpuMs, 0.5) << ", \"cpu_p99_ms\": " << Percentile(f.cpuMs, 0.99)
             << ", \"finish_p50_ms\": " << finish50 << ", \"finish_p99_ms\": " << finish99
             << ", \"frame_cpu_p50_ms\": " << Percentile(f.frameCpuMs, 0.5)
             << ", \"frame_cpu_p99_ms\": " << Percentile(f.frameCpuMs, 0.99)
             << ", \"shaded_screens_p50\": " << counted.median << ", \"shaded_screens_most\": " << counted.most
             << ", \"time_in_passes\": " << passes << ", \"allocations_per_frame\": " << perFrame
             << ", \"driver_allocations\": " << f.driverAllocations << "}";
        first = false;
    }
    printf("shaded: screens of fragments a frame writes (%s); passes: finish p50 over one textured pass\n",
           shaded.empty() ? "not counted" : "counted at scale 1");
    printf("full-screen pass at %d x %d, finish / thread cpu: flat %.2f / %.2f ms, textured %.2f / %.2f ms, "
           "blended %.2f / %.2f ms, the texture alone %.2f / %.2f ms\n",
           limits.width, limits.height, limits.flat.finishMs, limits.flat.cpuMs, passMs, passCpuMs,
           limits.blended.finishMs, limits.blended.cpuMs, limits.copied.finishMs,
           limits.copied.cpuMs);
    const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    printf("load %.3f s | peak resident %.1f MB | scene-file import %.1f MB/s\n", loadSeconds, peakMb, importRate);
    json << "\n  },\n  \"pass_ms\": {\"width\": " << limits.width << ", \"height\": " << limits.height
         << ", \"flat\": " << limits.flat.finishMs << ", \"textured\": " << passMs
         << ", \"blended\": " << limits.blended.finishMs << ", \"flat_cpu\": " << limits.flat.cpuMs
         << ", \"textured_cpu\": " << passCpuMs << ", \"blended_cpu\": " << limits.blended.cpuMs
         << ", \"copied\": " << limits.copied.finishMs << ", \"copied_cpu\": " << limits.copied.cpuMs << "}"
         << ",\n  \"load_seconds\": " << loadSeconds << ",\n  \"peak_resident_mb\": " << peakMb
         << ",\n  \"mas_import_mb_per_second\": " << importRate << "\n}\n";
    if (!options.jsonPath.empty()) std::ofstream(options.jsonPath) << json.str();
    if (!options.framesPath.empty()) std::ofstream(options.framesPath) << frameLines.str();
    fflush(stdout);
    _exit(0);  // the show's objects live until the process ends
}
