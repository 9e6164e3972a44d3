// Animation figures: DAS::Animate on 50 skinned meshes of 2,000 vertices
// under 20 bones each, with the heap allocations each call makes (the
// target is none). Run by hand: build/bench/kestrel_animation_bench.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "AllocationCounter.h"
#include "BenchSupport.h"
#include "DAS/Source/DAS.h"

namespace {

constexpr int kMeshes = 50;
constexpr int kBones = 20;
constexpr int kVertices = 2000;

// A chain of bones swinging about z, and meshes whose vertices each follow
// two neighbouring bones.
void BuildScene(DAS& scene) {
    scene.SetLastTime(4.0f);
    DAS_Node* parent = nullptr;
    for (int b = 0; b < kBones; ++b) {
        auto* bone = new DAS_Node(parent);
        bone->mName = "Bone" + std::to_string(b);
        bone->mObject = new B3D_Object();
        scene.InsertObject(bone->mObject);
        bone->mLoops = true;
        for (int k = 0; k <= 4; ++k) {
            BS::Matrix44 swing;
            swing.SetRotationZ(0.2f * std::sin(k + 0.3f * b));
            bone->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(swing, static_cast<float>(k)));
            bone->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(b == 0 ? 0.0f : 1.0f, 0, 0), static_cast<float>(k)));
        }
        scene.InsertNode(bone, parent);
        parent = bone;
    }
    for (int m = 0; m < kMeshes; ++m) {
        auto* mesh = new B3D_Mesh();
        DAS_MeshNode* node = scene.InsertMesh(mesh, nullptr);
        std::vector<DAS_SkinBone*> bones;
        for (int b = 0; b < kBones; ++b) {
            auto* bone = new DAS_SkinBone();
            bone->name = "Bone" + std::to_string(b);
            node->AddBone(bone);
            bones.push_back(bone);
        }
        for (int v = 0; v < kVertices; ++v) {
            const float x = static_cast<float>(v % kBones) + 0.5f, y = static_cast<float>(v / kBones) * 0.01f;
            mesh->CreateVertex(x, y, 0.0f);
            node->mVertexAnimator.AddKey(DAS_VertexKeyframe(BS::Vector3(x, y, 0), kDefaultKeyTime), static_cast<unsigned>(v));
            const int b = v % kBones;
            node->mVertexAnimator.mVertices[v].mInfluences = {{0.7f, bones[b]}, {0.3f, bones[(b + 1) % kBones]}};
        }
        for (int v = 0; v + 2 < kVertices; v += 3) mesh->CreateFace(v, v + 1, v + 2);
    }
    scene.SetLinkByName(true);
    scene.Prepare();
}

void AnimateSkinnedScene(benchmark::State& state) {
    BenchScreen();  // meshes own render lists, which need GL
    B3D_World world;
    DAS scene(&world);
    BuildScene(scene);
    float time = 0.0f;
    scene.Animate(time);
    long allocations = 0;
    for (auto _ : state) {
        time += 1.0f / 60.0f;
        const long before = AllocationCount();
        scene.Animate(time);
        allocations += AllocationCount() - before;
    }
    state.counters["allocations/call"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
    state.counters["vertices/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMeshes * kVertices,
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(AnimateSkinnedScene)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
