// The tunnel and the saw blade: scene files with animated cameras and
// spinning geometry, their pictures and their particle fields.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "MasWriter.h"
#include "Noise.h"
#include "RawWriters.h"
#include "Rotation.h"
#include "Textures.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;

MasGeometry Geometry(const std::string& name, int material) {
    MasGeometry g;
    g.name = name;
    g.material = material;
    return g;
}

// --- The tunnel: a square corridor bent into a ring round the vertical
// axis, ribbed with frames; the camera flies once round it in 24 seconds.
// The scene gives its sparks a ring of radius 780 to 1020 and height -120 to
// 120: the corridor encloses that ring, so the sparks glow round the camera
// and along the corridor, over its dark walls rather than the blue clear
// colour (which additive gold would turn lilac).
constexpr float kTunnelRadius = 900.0f;
constexpr float kTunnelHalf = 165.0f;  // half the corridor's section
constexpr float kTunnelSeconds = 24.0f;
constexpr int kFrames = 96;

Vec3 OnRing(float angle, float radius, float height) { return {radius * std::cos(angle), height, radius * std::sin(angle)}; }

Mesh FrameAt(float angle) {
    // Four bars round the corridor's section, set along the ring's radius.
    Mesh frame;
    const float half = kTunnelHalf - 12.0f, bar = 10.0f;
    const Vec3 out{std::cos(angle), 0, std::sin(angle)}, along{-std::sin(angle), 0, std::cos(angle)}, up{0, 1, 0};
    const Vec3 centre = OnRing(angle, kTunnelRadius, 0.0f);
    auto bar3 = [&](const Vec3& at, float sizeOut, float sizeUp) {
        Mesh box = Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, false);
        box.Transform([&](const Vec3& p) { return centre + at + out * (p.x * sizeOut) + up * (p.y * sizeUp) + along * (p.z * bar); },
                      [&](const Vec3& n) { return out * n.x + up * n.y + along * n.z; });
        frame.Append(box);
    };
    bar3(up * half, 2 * half + bar, bar);
    bar3(up * -half, 2 * half + bar, bar);
    bar3(out * half, bar, 2 * half);
    bar3(out * -half, bar, 2 * half);
    return frame;
}

// The corridor's four walls between two angles, facing inwards.
Mesh WallsBetween(float a0, float a1) {
    Mesh walls;
    const float in = kTunnelRadius - kTunnelHalf, out = kTunnelRadius + kTunnelHalf, h = kTunnelHalf;
    auto quad = [&](const Vec3& p00, const Vec3& p01, const Vec3& p11, const Vec3& p10) {
        walls.AddFlatTriangle(p00, p01, p11, 0.0f, 0.0f);
        walls.AddFlatTriangle(p00, p11, p10, 1.0f, 1.0f);
    };
    quad(OnRing(a0, in, -h), OnRing(a1, in, -h), OnRing(a1, out, -h), OnRing(a0, out, -h));  // floor
    quad(OnRing(a0, out, h), OnRing(a1, out, h), OnRing(a1, in, h), OnRing(a0, in, h));      // ceiling
    quad(OnRing(a0, in, h), OnRing(a1, in, h), OnRing(a1, in, -h), OnRing(a0, in, -h));      // inner wall
    quad(OnRing(a0, out, -h), OnRing(a1, out, -h), OnRing(a1, out, h), OnRing(a0, out, h));  // outer wall
    return walls;
}

MasScene Tunnel() {
    MasScene scene;
    scene.lastFrame = kTunnelSeconds * scene.frameSpeed;
    scene.materials = {{"white.png", "white.png"}, {"tunnel_metal.png", ""}};
    MasGeometry frames = Geometry("Frames", 0);
    for (int i = 0; i < kFrames; ++i) AddShape(frames, FrameAt(2.0f * kPi * i / kFrames));
    scene.objects.push_back(frames);
    MasGeometry walls = Geometry("Walls", 1);
    for (int i = 0; i < kFrames; ++i) AddShape(walls, WallsBetween(2.0f * kPi * i / kFrames, 2.0f * kPi * (i + 1) / kFrames));
    scene.objects.push_back(walls);

    MasCamera camera;
    camera.name = "TunnelCamera";
    camera.intervals = {{{0.0f, kTunnelSeconds}}};
    for (float t = 0.0f; t <= kTunnelSeconds + 1e-3f; t += 0.5f) {
        const float a = 2.0f * kPi * t / kTunnelSeconds;
        const float sway = 20.0f * std::sin(3.0f * a);
        const Vec3 from = OnRing(a, kTunnelRadius + sway, 12.0f * std::sin(5.0f * a));
        const Vec3 to = OnRing(a + 0.25f, kTunnelRadius - sway, 0.0f);
        const Mat3 roll = RotationAbout(Normalised(to - from), 0.15f * std::sin(2.0f * a));
        const Mat3 look = roll * LookAt(from, to, {0, 1, 0});
        const AxisAngle r = CameraFileRotation(look);
        if (t == 0.0f) {
            camera.position = from;
            camera.axis = r.axis;
            camera.angle = r.angle;
            camera.target = to;
        } else {
            camera.positionKeys.push_back({t, from});
            camera.rotationKeys.push_back({t, r.axis, r.angle});
        }
    }
    scene.cameras.push_back(camera);
    return scene;
}

// A slow swirl round the vertical axis that keeps the ring of sparks turning.
Vec3 RingField(const Vec3& p) {
    const float n = FractalNoise(p.x * 0.004f + 1.0f, p.z * 0.004f + p.y * 0.01f, 3, 91u) - 0.5f;
    return {-p.z * 0.01f + 6.0f * n, 4.0f * n, p.x * 0.01f - 6.0f * n};
}

// --- The saw blade: a toothed disc spinning about z in front of the camera
// node "Camera04", whose name the importer turns into "Camera04.Target".
constexpr float kBladeSeconds = 4.5f;

Mesh Blade() {
    Mesh blade;
    const int teeth = 24;
    const float inner = 18.0f, outer = 78.0f, tip = 90.0f, thickness = 2.0f;
    for (int i = 0; i < teeth; ++i) {
        const float a0 = 2.0f * kPi * i / teeth, a1 = 2.0f * kPi * (i + 1) / teeth, am = a0 + 0.75f * (a1 - a0);
        auto at = [](float a, float r, float z) { return Vec3{r * std::cos(a), r * std::sin(a), z}; };
        for (float side : {1.0f, -1.0f}) {
            const float z = side * thickness;
            auto tri = [&](const Vec3& a, const Vec3& b, const Vec3& c, float u) {
                if (side > 0) blade.AddFlatTriangle(a, b, c, u, 0.5f);
                else blade.AddFlatTriangle(a, c, b, u, 0.5f);
            };
            tri(at(a0, inner, z), at(a0, outer, z), at(a1, outer, z), static_cast<float>(i) / teeth);
            tri(at(a0, inner, z), at(a1, outer, z), at(a1, inner, z), static_cast<float>(i) / teeth);
            tri(at(a0, outer, z), at(am, tip, z * 0.5f), at(a1, outer, z), 0.95f);  // the tooth, hooked forward
        }
    }
    return blade;
}

MasScene SawBlade() {
    MasScene scene;
    scene.lastFrame = kBladeSeconds * scene.frameSpeed;
    scene.materials = {{"manet.png", ""}, {"steel.png", ""}};
    MasGeometry blade = Geometry("Blade", 0);
    AddShape(blade, Blade());
    MasGeometry hub = Geometry("Hub", 1);
    Mesh drum = Tube(2, 20, -6.0f, 6.0f, [](float) { return 16.0f; });
    AddShape(hub, drum);
    Mesh cap = Sphere(6, 16, [](const Vec3& d) { return 10.0f * (0.6f + 0.4f * std::fabs(d.z)); });
    cap.Translate({0, 0, 6});
    AddShape(hub, cap);
    // Spinning faster and faster, a little under half a turn between keys.
    for (float t = 0.1f; t <= kBladeSeconds + 1e-3f; t += 0.1f) {
        const float angle = std::fmod(4.0f * t + 0.6f * t * t, 2.0f * kPi);
        blade.rotationKeys.push_back({t, {0, 0, 1}, angle});
        hub.rotationKeys.push_back({t, {0, 0, 1}, -0.5f * angle});
    }
    scene.objects.push_back(blade);
    scene.objects.push_back(hub);
    MasCamera camera;
    camera.name = "Camera04";
    camera.intervals = {{{0.0f, kBladeSeconds}}};
    camera.position = {0, 0, 220};
    const AxisAngle r = CameraFileRotation(LookAt({0, 0, 220}, {0, 0, 0}, {0, 1, 0}));
    camera.axis = r.axis;
    camera.angle = r.angle;
    for (float t = 0.5f; t <= kBladeSeconds + 1e-3f; t += 0.5f) camera.positionKeys.push_back({t, {10.0f * std::sin(t), 0, 220}});
    scene.cameras.push_back(camera);
    return scene;
}

// Sparks curl outwards as they fall.
Vec3 SparkField(const Vec3& p) {
    const float n = FractalNoise(p.x * 0.02f + 4.0f, p.z * 0.02f, 2, 97u) - 0.5f;
    return {p.x * 0.4f + 30.0f * n, -10.0f, p.z * 0.4f - 30.0f * n};
}

void WriteCommonPictures(const std::string& dir) {
    ChromeEnvironment(256, {0.55f, 0.4f, 0.2f, 1}, {1.0f, 0.9f, 0.6f, 1}, {0.15f, 0.1f, 0.05f, 1}).WritePng(dir + "bg-env.png");
    Canvas white(16, 16);
    white.Fill([](float, float) { return Colour{1, 1, 1, 1}; });
    white.WritePng(dir + "white.png");
}

}  // namespace

void WriteTunnel(const std::string& fxData) {
    const std::string dir = fxData + "/Scene4/";
    mkdir(dir.c_str(), 0755);
    WriteCommonPictures(dir);
    // Dark plates, so that the sparks' additive gold stays gold on them.
    Canvas metal(64, 64);
    metal.Fill([](float u, float v) {
        const float n = FractalNoise(u * 6.0f, v * 6.0f, 3, 93u);
        const float grid = (std::fmod(u * 4.0f, 1.0f) < 0.08f || std::fmod(v * 4.0f, 1.0f) < 0.08f) ? 0.12f : 0.0f;
        return Colour{0.12f + 0.1f * n + grid, 0.12f + 0.1f * n + grid, 0.16f + 0.1f * n + grid, 1.0f};
    });
    metal.WritePng(dir + "tunnel_metal.png");
    // A full glow with a solid core: the particle colour tints it gold.
    ParticleSprite(64, {1.0f, 1.0f, 0.9f, 1}, {1.0f, 0.75f, 0.35f, 1}, 0.35f).WritePng(dir + "ball_silver.png");
    WriteForceFieldFile(dir + "forcefield.raw", 1500.0f, RingField);
    WriteMasFile(dir + "shadow.mas", Tunnel());
}

void WriteSawblade(const std::string& fxData) {
    const std::string dir = fxData + "/Scene5/";
    mkdir(dir.c_str(), 0755);
    WriteCommonPictures(dir);
    Canvas background(480, 320);
    background.Fill([](float u, float v) {
        const float r = std::hypot(u - 0.5f, (v - 0.5f) * 0.7f);
        const float n = FractalNoise(u * 5.0f, v * 4.0f, 4, 95u);
        return Colour{0.25f + 0.3f * (1.0f - r) + 0.1f * n, 0.08f + 0.1f * (1.0f - r), 0.05f + 0.05f * n, 1.0f};
    });
    background.WritePng(dir + "bg.png");
    Canvas steel(64, 64);
    steel.Fill([](float u, float v) {
        const float rings = 0.5f + 0.5f * std::sin(std::hypot(u - 0.5f, v - 0.5f) * 90.0f);
        return Colour{0.7f + 0.2f * rings, 0.72f + 0.2f * rings, 0.78f + 0.2f * rings, 1.0f};
    });
    steel.WritePng(dir + "steel.png");
    Canvas manet(64, 64);
    manet.Fill([](float u, float v) {
        const float n = FractalNoise(u * 10.0f, v * 10.0f, 3, 99u);
        return Colour{0.9f, 0.75f + 0.2f * n, 0.4f + 0.3f * n, 1.0f};
    });
    manet.WritePng(dir + "manet.png");
    WriteForceFieldFile(dir + "forcefield.raw", 500.0f, SparkField);
    WriteMasFile(dir + "sawblade.mas", SawBlade());
}
