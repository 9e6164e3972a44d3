// Renderer figures: a 12,000-particle pool's Update, alone and with Render, and loading a
// 50,000-triangle OBJ. Run by hand: build/bench/kestrel_renderer_bench.
#include <GLES2/gl2.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BS/Export/BS_Memory.h"
#include "BenchSupport.h"
#include "DemoSys/Riraru3Z/ObjReader.h"
#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"

namespace {

constexpr int kParticles = 12000;
// 250 x 100 quads of two triangles: 50,000 triangles.
constexpr int kQuadsAcross = 250;
constexpr int kQuadsDown = 100;

void FillPool(ParticleEngine& engine) {
    for (int i = 0; i < kParticles; ++i) {
        Particle p{};
        p.size = 0.05f;
        p.alpha = 0.8f;
        p.colour[0] = p.colour[1] = p.colour[2] = 1.0f;
        for (float& c : p.position) c = BS::Rand::GetRandomFloat() * 2.0f - 1.0f;
        engine.AddParticle(p);
    }
}

// The pool's motion and vertices alone, as a frame played without drawing pays.
void ParticleUpdate(benchmark::State& state) {
    BenchScreen();
    ParticleEngine engine(kParticles, "/FxData/none.png");
    FillPool(engine);
    for (auto _ : state) engine.Update(nullptr, 1.0f / 60.0f, 0.5f);
}
BENCHMARK(ParticleUpdate)->Unit(benchmark::kMillisecond);

void ParticleUpdateAndRender(benchmark::State& state) {
    BenchScreen();
    ParticleEngine engine(kParticles, "/FxData/none.png");
    FillPool(engine);
    for (GLuint i = 0; i < 4; ++i) glEnableVertexAttribArray(i);
    BS::Matrix44 mvp;
    for (auto _ : state) {
        engine.Update(nullptr, 1.0f / 60.0f, 0.5f);
        engine.Render(&mvp);
        glFinish();
    }
    for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i);
    state.counters["vertices/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kParticles * 3, benchmark::Counter::kIsRate);
}
BENCHMARK(ParticleUpdateAndRender)->Unit(benchmark::kMillisecond);

// A grid of kTriangles triangles, written once.
std::string LargeObj() {
    static std::string directory;
    if (!directory.empty()) return directory;
    char pattern[] = "/tmp/kestrel-bench-XXXXXX";
    directory = std::string(mkdtemp(pattern)) + "/";
    FILE* file = fopen((directory + "large.obj").c_str(), "w");
    const int across = kQuadsAcross + 1;
    for (int y = 0; y <= kQuadsDown; ++y)
        for (int x = 0; x < across; ++x) fprintf(file, "v %f %f %f\n", x * 0.01f, y * 0.01f, 0.001f * ((x * y) % 7));
    fprintf(file, "vt 0.5 0.5\nvn 0 0 1\nusemtl grid\n");
    for (int y = 0; y < kQuadsDown; ++y)
        for (int x = 0; x < kQuadsAcross; ++x) {
            const int a = y * across + x + 1, b = a + 1, c = a + across, d = c + 1;
            fprintf(file, "f %d/1/1 %d/1/1 %d/1/1\nf %d/1/1 %d/1/1 %d/1/1\n", a, b, d, a, d, c);
        }
    fclose(file);
    return directory;
}

void LoadLargeObj(benchmark::State& state) {
    BenchScreen();
    const std::string directory = LargeObj();
    int vertices = 0;
    int file = 0;
    for (auto _ : state) {
        // A new name each time: the reader remembers every path it has read.
        const std::string name = "large" + std::to_string(file++) + ".obj";
        state.PauseTiming();
        std::system(("ln -sf large.obj '" + directory + name + "'").c_str());
        state.ResumeTiming();
        SimpleModel* model = GetObjectReader()->LoadObj(KESTREL_BUNDLE, directory, name, 1.0f, 4);
        vertices = 0;
        for (const RenderList* list : model->GetRenderLists()) vertices += list->GetVertices().Count();
    }
    state.counters["triangles"] = vertices / 3;
    state.counters["vertices/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * vertices, benchmark::Counter::kIsRate);
}
BENCHMARK(LoadLargeObj)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
