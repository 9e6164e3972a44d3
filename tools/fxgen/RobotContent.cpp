// The robot scene: a robot of boxes and cylinders skinned to a skeleton of
// "Bone" nodes, dancing in a loop of one-second steps, watched by two
// cameras that take turns.
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "MasWriter.h"
#include "Noise.h"
#include "Rotation.h"
#include "Textures.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kLength = 11.0f;  // seconds of keys; the scene loops over 1 to 10
constexpr float kKeyStep = 0.125f;

struct BoneSpec {
    const char* name;
    const char* parent;
    Vec3 offset;  // from the parent, in the parent's frame (all bones start unturned)
    Vec3 swingAxis;
    float swing;  // amplitude in radians
    float phase;  // in beats
};

// Pelvis at hip height; the rest hangs from it.
const BoneSpec kBones[] = {
    {"BonePelvis", "", {0, 9, 0}, {0, 1, 0}, 0.25f, 0.0f},
    {"BoneSpine", "BonePelvis", {0, 3, 0}, {0, 0, 1}, 0.15f, 0.25f},
    {"BoneHead", "BoneSpine", {0, 5, 0}, {1, 0, 0}, 0.3f, 0.5f},
    {"BoneArmL", "BoneSpine", {3.2f, 4, 0}, {0, 0, 1}, 0.9f, 0.0f},
    {"BoneArmR", "BoneSpine", {-3.2f, 4, 0}, {0, 0, 1}, 0.9f, 0.5f},
    {"BoneLegL", "BonePelvis", {1.3f, 0, 0}, {1, 0, 0}, 0.5f, 0.0f},
    {"BoneLegR", "BonePelvis", {-1.3f, 0, 0}, {1, 0, 0}, 0.5f, 0.5f},
};
constexpr int kBoneCount = sizeof kBones / sizeof kBones[0];

Vec3 BindPosition(int bone) {
    Vec3 p{0, 0, 0};
    for (int b = bone; b >= 0;) {
        p = p + kBones[b].offset;
        int parent = -1;
        for (int i = 0; i < kBoneCount; ++i)
            if (std::string(kBones[i].name) == kBones[b].parent) parent = i;
        b = parent;
    }
    return p;
}

MasGeometry BoneNode(int b) {
    const BoneSpec& spec = kBones[b];
    MasGeometry bone;
    bone.name = spec.name;
    bone.parent = spec.parent;
    bone.position = spec.offset;
    for (float t = kKeyStep; t <= kLength + 1e-3f; t += kKeyStep) {
        // One swing per second; the pelvis also bobs twice a second.
        const float angle = spec.swing * std::sin(2.0f * kPi * (t + spec.phase));
        bone.rotationKeys.push_back({t, spec.swingAxis, angle});
        if (b == 0) bone.positionKeys.push_back({t, {spec.offset.x, spec.offset.y + 0.6f * std::fabs(std::sin(2.0f * kPi * t)), spec.offset.z}});
    }
    return bone;
}

// A robot part: a mesh whose every vertex follows one bone.
MasGeometry Part(const std::string& name, Mesh shape, int bone, int material) {
    MasGeometry part;
    part.name = name;
    part.material = material;
    AddShape(part, shape);
    part.skinned = true;
    MasSkinBone skin;
    skin.name = kBones[bone].name;
    skin.bindColumns = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, BindPosition(bone)}};
    for (size_t v = 0; v < part.positions.size(); ++v) skin.weights.push_back({static_cast<int>(v), 1.0f});
    part.bones.push_back(skin);
    return part;
}

Mesh BoxAt(const Vec3& low, const Vec3& high) { return Box(low, high, false); }

Mesh Limb(const Vec3& from, const Vec3& to, float radius) {
    Mesh tube = Tube(4, 10, 0.0f, 1.0f, [radius](float) { return radius; });
    const Vec3 along = to - from;
    const Vec3 side = Normalised(Cross(along, std::fabs(along.y) > 0.9f * std::sqrt(Dot(along, along)) ? Vec3{1, 0, 0} : Vec3{0, 1, 0}));
    const Vec3 other = Normalised(Cross(along, side));
    tube.Transform([&](const Vec3& p) { return from + side * p.x + other * p.y + along * p.z; },
                   [&](const Vec3& n) { return side * n.x + other * n.y + along * n.z; });
    return tube;
}

std::vector<MasGeometry> RobotParts() {
    const Vec3 pelvis = BindPosition(0), spine = BindPosition(1), head = BindPosition(2);
    const Vec3 armL = BindPosition(3), armR = BindPosition(4), legL = BindPosition(5), legR = BindPosition(6);
    std::vector<MasGeometry> parts;
    parts.push_back(Part("Hips", BoxAt(pelvis + Vec3{-2.2f, -1.2f, -1.3f}, pelvis + Vec3{2.2f, 1.5f, 1.3f}), 0, 0));
    parts.push_back(Part("Chest", BoxAt(spine + Vec3{-3, 0, -1.8f}, spine + Vec3{3, 4.8f, 1.8f}), 1, 0));
    Mesh skull = Sphere(8, 12, [](const Vec3& d) { return 2.0f * (1.0f + 0.15f * d.y); });
    skull.Translate(head + Vec3{0, 1.8f, 0});
    Mesh visor = BoxAt(head + Vec3{-1.5f, 1.5f, 1.6f}, head + Vec3{1.5f, 2.3f, 2.1f});
    parts.push_back(Part("Head", skull, 2, 1));
    parts.push_back(Part("Visor", visor, 2, 2));
    parts.push_back(Part("ArmL", Limb(armL, armL + Vec3{0.6f, -6.5f, 0}, 0.8f), 3, 1));
    parts.push_back(Part("ArmR", Limb(armR, armR + Vec3{-0.6f, -6.5f, 0}, 0.8f), 4, 1));
    parts.push_back(Part("LegL", Limb(legL, legL + Vec3{0, -8.5f, 0}, 1.0f), 5, 1));
    parts.push_back(Part("LegR", Limb(legR, legR + Vec3{0, -8.5f, 0}, 1.0f), 6, 1));
    parts.push_back(Part("FootL", BoxAt(legL + Vec3{-1.1f, -9.3f, -1.0f}, legL + Vec3{1.1f, -8.3f, 2.2f}), 5, 0));
    parts.push_back(Part("FootR", BoxAt(legR + Vec3{-1.1f, -9.3f, -1.0f}, legR + Vec3{1.1f, -8.3f, 2.2f}), 6, 0));
    return parts;
}

MasGeometry Stage() {
    MasGeometry stage;
    stage.name = "Stage";
    stage.material = 3;
    AddShape(stage, Box({-40, -1, -40}, {40, 0, 40}, false), 4.0f);
    return stage;
}

MasCamera OrbitCamera(const std::string& name, float radius, float height, float speed, float start,
                      const std::vector<std::array<float, 2>>& intervals) {
    MasCamera camera;
    camera.name = name;
    camera.intervals = intervals;
    const Vec3 look{0, 10.5f, 0};
    for (float t = 0.0f; t <= kLength + 1e-3f; t += 0.25f) {
        const float a = start + speed * t;
        const Vec3 from{radius * std::sin(a), height + 2.0f * std::sin(0.7f * t), radius * std::cos(a)};
        const AxisAngle r = CameraFileRotation(LookAt(from, look, {0, 1, 0}));
        if (t == 0.0f) {
            camera.position = from;
            camera.axis = r.axis;
            camera.angle = r.angle;
        } else {
            camera.positionKeys.push_back({t, from});
            camera.rotationKeys.push_back({t, r.axis, r.angle});
        }
    }
    camera.target = look;
    return camera;
}

void WritePictures(const std::string& dir) {
    Canvas plate(64, 64);
    plate.Fill([](float u, float v) {
        const float rivet = std::hypot(std::fmod(u * 4.0f, 1.0f) - 0.5f, std::fmod(v * 4.0f, 1.0f) - 0.5f) < 0.08f ? 0.3f : 0.0f;
        const float n = FractalNoise(u * 8.0f, v * 8.0f, 3, 81u);
        return Colour{0.85f + 0.1f * n + rivet, 0.35f + 0.1f * n + rivet, 0.1f + rivet, 1.0f};
    });
    plate.WritePng(dir + "robot_plate.png");
    Canvas steel(64, 64);
    steel.Fill([](float u, float v) {
        const float brushed = FractalNoise(u * 2.0f, v * 40.0f, 2, 83u);
        return Colour{0.6f + 0.25f * brushed, 0.62f + 0.25f * brushed, 0.68f + 0.25f * brushed, 1.0f};
    });
    steel.WritePng(dir + "robot_steel.png");
    Canvas visor(16, 16);
    visor.Fill([](float, float v) { return Colour{0.2f, 1.0f - 0.5f * v, 0.9f, 1.0f}; });
    visor.WritePng(dir + "robot_visor.png");
    Canvas floor(128, 128);
    floor.Fill([](float u, float v) {
        const bool line = std::fmod(u * 8.0f, 1.0f) < 0.06f || std::fmod(v * 8.0f, 1.0f) < 0.06f;
        return line ? Colour{0.3f, 0.9f, 1.0f, 1.0f} : Colour{0.08f, 0.08f, 0.16f, 1.0f};
    });
    floor.WritePng(dir + "robot_floor.png");
}

}  // namespace

void WriteRobot(const std::string& fxData) {
    const std::string dir = fxData + "/Vantor/";
    mkdir(dir.c_str(), 0755);
    WritePictures(dir);
    MasScene scene;
    scene.lastFrame = kLength * scene.frameSpeed;
    scene.materials = {{"robot_plate.png", ""}, {"robot_steel.png", ""}, {"robot_visor.png", ""}, {"robot_floor.png", ""}};
    for (int b = 0; b < kBoneCount; ++b) scene.objects.push_back(BoneNode(b));
    for (MasGeometry& part : RobotParts()) scene.objects.push_back(std::move(part));
    scene.objects.push_back(Stage());
    // Close enough that the robot, 21 units tall, fills most of the picture's height.
    scene.cameras.push_back(OrbitCamera("Camera01", 17.5f, 12.0f, 0.35f, 0.3f, {{{0.0f, 3.0f}}, {{6.0f, 8.0f}}}));
    scene.cameras.push_back(OrbitCamera("Camera02", 15.0f, 10.0f, -0.5f, 2.5f, {{{3.0f, 6.0f}}, {{8.0f, 11.0f}}}));
    WriteMasFile(dir + "07_robot2.mas", scene);
}
