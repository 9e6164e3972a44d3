// The jellyfish hunt: a translucent jellyfish with frilled arms along its
// z axis, the deep-sea backdrop (shared with the overlay), the stream's
// field and particle sprite, and the closing credits.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "Mesh.h"
#include "Noise.h"
#include "RawWriters.h"
#include "Textures.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;

Mesh Jellyfish() {
    Mesh manet;
    // The bell: a dome from its crown (z = 30) to a flared rim (z = 0).
    Mesh bell = Tube(18, 32, 30.0f, -2.0f, [](float z) {
        const float t = (30.0f - z) / 32.0f;  // 0 at the crown
        return 34.0f * std::sin(std::fmin(t, 1.0f) * kPi * 0.5f) * (1.0f + 0.12f * t * t);
    });
    manet.Append(bell.WithMaterial("bell"));
    // Four frilled oral arms and a ring of thin tentacles trailing to -z.
    for (int i = 0; i < 4; ++i) {
        const float a = kPi * 0.5f * i + 0.4f;
        Mesh arm = Tube(16, 8, -2.0f, -70.0f, [](float z) { return 4.0f + 1.5f * std::sin(z * 0.4f); });
        arm.Transform(
            [a](const Vec3& p) {
                const float sway = 3.0f * std::sin(p.z * 0.08f + a);
                return Vec3{p.x + 8.0f * std::cos(a) + sway, p.y + 8.0f * std::sin(a), p.z};
            },
            [](const Vec3& n) { return n; });
        manet.Append(arm.WithMaterial("arms"));
    }
    for (int i = 0; i < 12; ++i) {
        const float a = 2.0f * kPi * i / 12;
        Mesh tentacle = Tube(12, 4, -1.0f, -95.0f, [](float z) { return 0.9f + 0.004f * z; });
        tentacle.Translate({32.0f * std::cos(a), 32.0f * std::sin(a), 0.0f});
        manet.Append(tentacle.WithMaterial("arms"));
    }
    manet.Scale(1.7f);
    return manet;
}

Canvas DeepSea() {
    Canvas c(480, 320);
    c.Fill([](float u, float v) {
        // Light falls in slanting shafts from the surface, at the picture's top.
        const float depth = v;
        const float rays = std::pow(0.5f + 0.5f * std::sin(u * 23.0f + v * 6.0f + 3.0f * FractalNoise(u * 4.0f, v, 2, 61u)), 6.0f);
        const float light = (1.0f - depth) * (0.25f + 0.5f * rays * (1.0f - depth));
        const float murk = FractalNoise(u * 5.0f, v * 5.0f, 4, 67u);
        return Colour{0.0f + 0.15f * light, 0.05f + 0.35f * light + 0.05f * murk, 0.15f + 0.45f * light + 0.1f * murk,
                      1.0f};
    });
    return c;
}

Canvas Credits() {
    static const char* const kLines[] = {
        "KESTREL",       "",           "A REAL-TIME DEMO",    "",
        "CODE",          "THE KESTREL ENGINE TEAM", "",
        "MUSIC",         "SYNTHESISED IN C++",      "",
        "MODELS AND PICTURES", "GENERATED AT BUILD TIME", "",
        "GREETINGS TO",  "EVERYONE WHO STILL",     "WRITES DEMOS",         "",
        "ALL THE SCENERS", "ALL THE TRACKERS", "ALL THE PIXEL PUSHERS", "",
        "THANKS FOR WATCHING",
    };
    Canvas c(480, 630);
    c.Fill([](float, float) { return Colour{0, 0, 0, 0}; });
    CentredLines(c, 40, kLines, static_cast<int>(sizeof kLines / sizeof kLines[0]), 3, 6,
                 {0.85f, 0.95f, 1.0f, 1.0f});
    return c;
}

// A gentle spiral about the stream's axis, stronger towards the viewer.
Vec3 StreamField(const Vec3& p) {
    const float closeness = (p.z + 250.0f) / 500.0f;
    const float swirl = 6.0f + 18.0f * closeness;
    const float n = FractalNoise(p.x * 0.01f + 3.0f, p.y * 0.01f + p.z * 0.004f, 3, 71u) - 0.5f;
    return {-p.y / 250.0f * swirl + 20.0f * n, p.x / 250.0f * swirl - 20.0f * n, 0.0f};
}

}  // namespace

void WriteManetjakt(const std::string& fxData) {
    const std::string dir = fxData + "/manetjakt/";
    mkdir(dir.c_str(), 0755);
    WriteMtl(dir + "manet.mtl", {{"bell", "bell.png"}, {"arms", "arms.png"}});
    Canvas bell(128, 128);
    bell.Fill([](float u, float v) {
        const float rings = 0.5f + 0.5f * std::sin(v * 40.0f);
        const float spots = SmoothStep(0.6f, 0.7f, FractalNoise(u * 12.0f, v * 12.0f, 2, 73u));
        return Colour{1.0f, 0.55f + 0.25f * rings + 0.2f * spots, 0.95f, 1.0f};
    });
    bell.WritePng(dir + "bell.png");
    Canvas arms(32, 32);
    arms.Fill([](float u, float) { return Colour{0.95f, 0.55f + 0.3f * u, 0.9f, 1.0f}; });
    arms.WritePng(dir + "arms.png");
    Jellyfish().WriteObj(dir + "manet.obj", "manet.mtl");

    DeepSea().WritePng(dir + "background.png");
    Credits().WritePng(dir + "scroller.png");
    Canvas fade(64, 64);
    fade.Fill([](float u, float) { return Colour{0, 0, 0, u}; });
    fade.WritePng(dir + "fade.png");
    WriteForceFieldFile(dir + "forcefield.raw", 500.0f, StreamField);

    ParticleSprite(64, {1.0f, 1.0f, 1.0f, 1}, {0.5f, 0.7f, 1.0f, 1}).WritePng(fxData + "/Common/particle.png");
}
