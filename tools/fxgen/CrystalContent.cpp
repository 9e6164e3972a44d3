// The crystal room: a panelled hall with pillars, a jointed machine arm
// reaching for the centre, and the crystal the shards grow from.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "Mesh.h"
#include "Noise.h"
#include "Textures.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFloor = -18.0f;

// Base at the origin, pointing up y: rotated copies then burst out of one point.
Mesh CrystalShard() {
    Mesh crystal = Crystal(6, 1.3f, 9.0f, 3.0f);
    crystal.Translate({0.0f, 4.5f + 3.0f, 0.0f});
    return crystal.WithMaterial("ice");
}

Mesh Room() {
    Mesh room;
    Mesh hall = Box({-70, kFloor, -70}, {70, 45, 70}, true);
    room.Append(hall.WithMaterial("panels"));
    // The floor slab stands clear of the hall's own floor and walls: faces
    // closer than the depth buffer resolves would fight and shimmer.
    Mesh floor = Box({-69.5f, kFloor - 1, -69.5f}, {69.5f, kFloor + 0.4f, 69.5f}, false);
    room.Append(floor.WithMaterial("floor"));
    // Eight pillars in a ring: they sweep past as the camera circles.
    for (int i = 0; i < 8; ++i) {
        const float a = 2.0f * kPi * i / 8;
        Mesh pillar = Box({-3, kFloor, -3}, {3, 45, 3}, false);
        pillar.Translate({52.0f * std::cos(a), 0.0f, 52.0f * std::sin(a)});
        room.Append(pillar.WithMaterial("pillar"));
    }
    return room;
}

// Segments between joints, each a box from a to b with the given thickness.
Mesh Segment(const Vec3& a, const Vec3& b, float thickness) {
    Mesh box = Box({0, -0.5f, -0.5f}, {1, 0.5f, 0.5f}, false);
    const Vec3 along = b - a;
    const Vec3 side = Normalised(Cross(along, Vec3{0, 0, 1}));
    const Vec3 up = Normalised(Cross(side, along));
    box.Transform([&](const Vec3& p) { return a + along * p.x + side * (p.y * thickness) + up * (p.z * thickness); },
                  [&](const Vec3& n) { return along * n.x + side * n.y + up * n.z; });
    return box;
}

Mesh Arm() {
    Mesh arm;
    const Vec3 base{-30, kFloor, 10}, shoulder{-30, 2, 10}, elbow{-16, 14, 4}, wrist{-6, 4, 1};
    Mesh pedestal = Box({-6, 0, -6}, {6, 4, 6}, false);
    pedestal.Translate(base);
    arm.Append(pedestal);
    arm.Append(Segment(base, shoulder, 4.0f));
    arm.Append(Segment(shoulder, elbow, 3.0f));
    arm.Append(Segment(elbow, wrist, 2.2f));
    for (const Vec3& joint : {shoulder, elbow, wrist}) {
        Mesh ball = Sphere(8, 12, [](const Vec3&) { return 2.6f; });
        ball.Translate(joint);
        arm.Append(ball);
    }
    // Two claw fingers around the crystal.
    arm.Append(Segment(wrist, wrist + Vec3{3, 3, 2}, 0.9f));
    arm.Append(Segment(wrist, wrist + Vec3{3, -3, -2}, 0.9f));
    return arm.WithMaterial("metal");
}

// The walls are seen at grazing angles from across the room: broad seams and
// soft noise, nothing finer than a few texels, keep them from shimmering as
// the camera turns.
Canvas Panels() {
    Canvas c(128, 128);
    c.Fill([](float u, float v) {
        const float gu = std::fabs(std::fmod(u * 4.0f, 1.0f) - 0.5f), gv = std::fabs(std::fmod(v * 4.0f, 1.0f) - 0.5f);
        const float seam = SmoothStep(0.36f, 0.46f, std::fmax(gu, gv));
        const float n = FractalNoise(u * 5.0f, v * 5.0f, 2, 51u);
        const float lamp = std::exp(-gu * gu * 40.0f) * (gv < 0.3f ? 1.0f : 0.0f) * 0.3f;
        return Colour{0.25f + 0.15f * n - 0.15f * seam + lamp, 0.3f + 0.15f * n - 0.15f * seam + lamp * 0.8f,
                      0.38f + 0.15f * n - 0.15f * seam + lamp * 1.4f, 1.0f};
    });
    return c;
}

Canvas Floor() {
    Canvas c(128, 128);
    c.Fill([](float u, float v) {
        const bool dark = (static_cast<int>(u * 8) + static_cast<int>(v * 8)) % 2 == 0;
        const float n = FractalNoise(u * 16.0f, v * 16.0f, 2, 53u);
        const float base = dark ? 0.12f : 0.42f;
        return Colour{base + 0.1f * n, base + 0.08f * n, base + 0.12f * n, 1.0f};
    });
    return c;
}

Canvas Solid(const Colour& colour, float noise, uint32_t seed) {
    Canvas c(32, 32);
    c.Fill([&](float u, float v) {
        const float n = noise * (FractalNoise(u * 6.0f, v * 6.0f, 2, seed) - 0.5f);
        return Colour{colour.r + n, colour.g + n, colour.b + n, 1.0f};
    });
    return c;
}

}  // namespace

void WriteCrystalGrowth(const std::string& fxData) {
    const std::string dir = fxData + "/crystalGrowth/";
    mkdir(dir.c_str(), 0755);
    WriteMtl(dir + "crystal.mtl", {{"ice", "ice.png"}});
    WriteMtl(dir + "room.mtl", {{"panels", "panels.png"}, {"floor", "floor.png"}, {"pillar", "pillar.png"},
                                {"metal", "metal.png"}});
    Canvas ice(64, 64);
    ice.Fill([](float u, float v) { return Colour{0.3f + 0.3f * v, 0.7f + 0.2f * u, 1.0f, 1.0f}; });
    ice.WritePng(dir + "ice.png");
    Panels().WritePng(dir + "panels.png");
    Floor().WritePng(dir + "floor.png");
    Solid({0.7f, 0.45f, 0.25f, 1}, 0.2f, 57u).WritePng(dir + "pillar.png");
    Solid({0.85f, 0.6f, 0.15f, 1}, 0.15f, 59u).WritePng(dir + "metal.png");
    CrystalShard().WriteObj(dir + "crystal.obj", "crystal.mtl");
    Room().WriteObj(dir + "room.obj", "room.mtl");
    Arm().WriteObj(dir + "arm.obj", "room.mtl");
}
