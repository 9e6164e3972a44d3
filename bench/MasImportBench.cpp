// MAS import figures: a generated scene file of about 20 MB (meshes with
// morph frames, skins and tracks), imported from memory; MB/s per call.
// Run by hand: build/bench/kestrel_mas_import_bench.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "B3D/Source/B3D_World.h"
#include "BenchSupport.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "tools/fxgen/MasWriter.h"

namespace {

constexpr size_t kTargetBytes = 20u << 20;

MasGeometry Wave(int index) {
    MasGeometry g;
    g.name = "Wave" + std::to_string(index);
    const int side = 90;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            g.positions.push_back({x * 1.0f, y * 1.0f, std::sin(0.3f * x + index) * 2.0f});
            g.uvs.push_back({{x / float(side), y / float(side)}});
            g.normals.push_back({0, 0, 1});
        }
    for (int y = 0; y + 1 < side; ++y)
        for (int x = 0; x + 1 < side; ++x) {
            const int a = y * side + x;
            g.faces.push_back({{a, a + 1, a + side + 1}});
            g.faces.push_back({{a, a + side + 1, a + side}});
        }
    MasFrame frame{1.0f, g.positions};
    for (Vec3& p : frame.positions) p.z += 1.0f;
    g.frames.push_back(frame);
    g.skinned = true;
    MasSkinBone bone;
    bone.name = "Bone" + std::to_string(index);
    bone.bindColumns = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}};
    for (size_t v = 0; v < g.positions.size(); v += 3) bone.weights.push_back({static_cast<int>(v), 1.0f});
    g.bones.push_back(bone);
    for (int k = 1; k <= 60; ++k) g.positionKeys.push_back({k / 30.0f, {0, 0, 0.1f * k}});
    return g;
}

const std::string& SceneText() {
    static const std::string text = [] {
        MasScene scene;
        scene.lastFrame = 60;
        std::string out;
        for (int i = 0; out.size() < kTargetBytes; ++i) {
            scene.objects.push_back(Wave(i));
            out = WriteMas(scene);
        }
        return out;
    }();
    return text;
}

void ImportTwentyMegabytes(benchmark::State& state) {
    BenchScreen();  // meshes own render lists, which need GL
    const std::string& text = SceneText();
    for (auto _ : state) {
        B3D_World world;
        DAS scene(&world);
        DAS_MAS_Importer importer(&scene, nullptr);
        importer.ImportBytes(text.data(), text.size(), "/nonexistent/");
        benchmark::DoNotOptimize(scene.Nodes().size());
    }
    state.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(ImportTwentyMegabytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
