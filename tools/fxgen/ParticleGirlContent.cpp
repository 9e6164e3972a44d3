// The particle figure scene's data: 12,000 particles whose home positions
// form a kestrel in flight, the swirling field they drift in, and a chrome
// skull with a separate jaw.
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "Mesh.h"
#include "Noise.h"
#include "Random.h"
#include "RawWriters.h"
#include "Shapes.h"
#include "Textures.h"
#include "Upright.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kParticles = 12000;
constexpr float kFigureScale = 1.4f;  // the kestrel's wings span 21 units
constexpr float kSkullScale = 1.8f;  // modelled at 30 units, shown larger in the foreground

std::vector<ParticleRecord> KestrelParticles() {
    Random random(0x9A17u);
    std::vector<ParticleRecord> particles;
    particles.reserve(kParticles);
    while (static_cast<int>(particles.size()) < kParticles) {
        const float x = random.Signed() * 7.6f, y = random.Signed() * 5.4f;
        if (!InsideKestrel(x, y)) continue;
        ParticleRecord p{};
        // Small: the formed figure overdraws itself many times, and fill is what a
        // software rasteriser pays for; the sprite's solid core keeps them bright.
        p.size = 0.085f + 0.06f * random.Unit();
        p.alpha = 0.75f + 0.25f * random.Unit();
        // Warm browns on the back, pale tips: the bird's own colours, brightened.
        const float warmth = Clamp01(1.0f - std::fabs(x) / 7.5f);
        const float speckle = random.Unit();
        p.colour = {1.0f, 0.7f + 0.2f * warmth + 0.1f * speckle, 0.45f + 0.5f * speckle};
        // Wings bow away towards the tips; the body has some depth. Head up.
        const float bow = -0.06f * x * x;
        p.home = ParticleHomeFromUpright({x, y}, bow + 0.4f * random.Signed() * Clamp01(1.0f - std::fabs(x) / 3.0f)) *
                 kFigureScale;
        // Start as a loose cloud about the figure: the spring only has a few
        // seconds to draw it together.
        Vec3 start;
        do {
            start = {random.Signed(), random.Signed(), random.Signed()};
        } while (Dot(start, start) > 1.0f);
        p.position = p.home * 0.8f + start * 2.5f;
        p.velocity = {random.Signed() * 0.4f, random.Signed() * 0.4f, random.Signed() * 0.4f};
        particles.push_back(p);
    }
    return particles;
}

// A slow swirl about the vertical axis with a noisy updraft, and a pull back
// into the cube near its walls.
Vec3 DriftField(const Vec3& p) {
    const float n = FractalNoise(p.x * 0.3f + 7.0f, p.z * 0.3f + 0.5f * p.y, 3, 23u) - 0.5f;
    Vec3 force{-p.z * 0.2f, 0.4f * n, p.x * 0.2f};
    force = force + Vec3{0.5f * n, 0.0f, -0.5f * n};
    const float r = std::sqrt(Dot(p, p));
    if (r > 11.0f) force = force - p * (0.6f * (r - 11.0f) / r);
    return force;
}

Mesh Cranium() {
    Mesh skull = Sphere(26, 36, [](const Vec3& d) {
        // Longer front to back (z), narrower at the temples, a flat base.
        float r = 30.0f * (1.0f + 0.18f * d.z * d.z - 0.12f * d.x * d.x);
        if (d.y < -0.35f) r *= 1.0f - 0.8f * (-0.35f - d.y);
        // Eye sockets and the nose opening, pressed in at the front.
        for (float side : {-1.0f, 1.0f}) {
            const float e = std::hypot(d.x - 0.38f * side, d.y + 0.02f) / 0.24f;
            if (d.z > 0.5f && e < 1.0f) r -= 9.0f * (1.0f - e * e);
        }
        const float nose = std::hypot(d.x * 1.6f, d.y + 0.33f) / 0.16f;
        if (d.z > 0.6f && nose < 1.0f) r -= 6.0f * (1.0f - nose);
        return r;
    });
    skull.Translate({0.0f, 22.0f, -6.0f});
    skull.Scale(kSkullScale);  // the hinge of the jaw is the origin
    return skull.WithMaterial("bone");
}

Mesh Jaw() {
    // A U of overlapping bone blobs opening towards the back, teeth on its front half.
    Mesh jaw;
    const int pieces = 16;
    for (int i = 0; i <= pieces; ++i) {
        const float a = kPi * i / pieces;
        const Vec3 centre{19.0f * std::cos(a), -8.0f + 3.0f * std::sin(a), 4.0f + 16.0f * std::sin(a)};
        Mesh blob = Sphere(6, 8, [](const Vec3&) { return 4.5f; });
        blob.Translate(centre);
        jaw.Append(blob);
        if (std::sin(a) > 0.45f) {
            Mesh tooth = Box({-1.3f, 0.0f, -1.3f}, {1.3f, 5.0f, 1.3f}, false);
            tooth.Translate(centre + Vec3{0.0f, 2.5f, 0.0f});
            jaw.Append(tooth);
        }
    }
    jaw.Scale(kSkullScale);
    return jaw.WithMaterial("bone");
}

void WriteSkull(const std::string& dir) {
    WriteMtl(dir + "skull.mtl", {{"bone", "bone.png"}});
    Canvas bone(128, 128);
    bone.Fill([](float u, float v) {
        const float n = FractalNoise(u * 10.0f, v * 10.0f, 4, 31u);
        const float crack = SmoothStep(0.48f, 0.5f, FractalNoise(u * 5.0f, v * 5.0f, 2, 37u)) *
                            (1.0f - SmoothStep(0.5f, 0.52f, FractalNoise(u * 5.0f, v * 5.0f, 2, 37u)));
        const float shade = 0.8f + 0.2f * n - 0.4f * crack;
        return Colour{0.95f * shade, 0.9f * shade, 0.78f * shade, 1.0f};
    });
    bone.WritePng(dir + "bone.png");
    Cranium().WriteObj(dir + "skull.obj", "skull.mtl");
    Jaw().WriteObj(dir + "jaw.obj", "skull.mtl");
}

void WritePictures(const std::string& dir) {
    ParticleSprite(64, {1.0f, 1.0f, 1.0f, 1}, {0.6f, 0.65f, 0.75f, 1}, 0.6f).WritePng(dir + "ball_silver.png");
    Canvas background(256, 384);
    background.Fill([](float u, float v) {
        // Tall columns of cloud lit from one side; scrolled through during the scene.
        const float n = FractalNoise(u * 3.0f, v * 9.0f, 5, 41u);
        const float streak = 0.5f + 0.5f * std::sin(u * 18.0f + 6.0f * n);
        const float light = 0.25f + 0.75f * n * (0.6f + 0.4f * streak);
        return Colour{0.18f * light + 0.05f, 0.3f * light + 0.04f, 0.55f * light + 0.1f, 1.0f};
    });
    background.WritePng(dir + "Background.png");
}

}  // namespace

void WriteParticleGirl(const std::string& fxData) {
    const std::string dir = fxData + "/ParticleGirl/";
    mkdir(dir.c_str(), 0755);
    WriteParticleFile(dir + "particles.raw", KestrelParticles());
    WriteForceFieldFile(dir + "forcefield.raw", 20.0f, DriftField);
    WriteSkull(dir);
    WritePictures(dir);
}
