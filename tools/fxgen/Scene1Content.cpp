// The opening scene's models and pictures: a heart-shaped chrome ball in a
// wire sphere, small balls, a solid sphere and the 18 shards it breaks into.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "Mesh.h"
#include "Noise.h"
#include "Textures.h"
#include "Writers.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kSphereRadius = 30.0f;  // the wire sphere; its cap above z = 20 carries the small balls
constexpr float kShardRadius = 50.0f;   // drawn at 0.6: the solid sphere's size

// A heart outline in the picture plane (x, y) swept round a rounded body.
float HeartRadius(const Vec3& d) {
    const float phi = std::atan2(d.y, d.x) - kPi / 2.0f;  // 0 at the top
    const float c = std::cos(phi), s = std::sin(phi);
    // Two lobes at the top, a point at the bottom.
    const float lobes = 1.0f + 0.28f * std::pow(std::fabs(s), 0.5f) * (c > 0.0f ? c : 0.0f) * 2.0f - 0.35f * c;
    const float point = 1.0f + 0.35f * std::pow(Clamp01(-c), 3.0f);
    const float depth = 1.0f - 0.25f * d.z * d.z;
    return 16.0f * lobes * point * depth;
}

Mesh ShardPiece(int band, int sector) {
    // Three latitude bands by six sectors of a thick shell.
    const int bands = 3, sectors = 6, steps = 4;
    const float theta0 = kPi * band / bands, theta1 = kPi * (band + 1) / bands;
    const float phi0 = 2.0f * kPi * sector / sectors, phi1 = 2.0f * kPi * (sector + 1) / sectors;
    auto direction = [](float theta, float phi) {
        return Vec3{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
    };
    Mesh mesh;
    mesh.UseMaterial("shard");
    // Vertex 0 is the piece's middle: the direction it flies off in.
    const Vec3 middle = direction((theta0 + theta1) / 2, (phi0 + phi1) / 2);
    mesh.AddVertex({middle * kShardRadius, middle, 0.5f, 0.5f});
    for (float radius : {kShardRadius, kShardRadius * 0.88f}) {
        const int base = static_cast<int>(mesh.Vertices().size());
        for (int i = 0; i <= steps; ++i)
            for (int j = 0; j <= steps; ++j) {
                const float theta = theta0 + (theta1 - theta0) * i / steps;
                const float phi = phi0 + (phi1 - phi0) * j / steps;
                const Vec3 d = direction(theta, phi);
                // Ragged edges: the cracks are not on the grid lines.
                const float jitter = (i == 0 || i == steps || j == 0 || j == steps) ? 0.03f * std::sin(7.0f * i + 5.0f * j + band) : 0.0f;
                const Vec3 n = radius == kShardRadius ? d : d * -1.0f;
                mesh.AddVertex({d * (radius * (1.0f + jitter)), n, static_cast<float>(j) / steps, static_cast<float>(i) / steps});
            }
        for (int i = 0; i < steps; ++i)
            for (int j = 0; j < steps; ++j) {
                const int a = base + i * (steps + 1) + j, b = a + 1, c = a + steps + 1, d = c + 1;
                if (radius == kShardRadius) {
                    mesh.AddTriangle(a, c, b);
                    mesh.AddTriangle(b, c, d);
                } else {
                    mesh.AddTriangle(a, b, c);
                    mesh.AddTriangle(b, d, c);
                }
            }
    }
    return mesh;
}

void WriteShards(const std::string& dir) {
    mkdir(dir.c_str(), 0755);
    WriteMtl(dir + "shards.mtl", {{"shard", "shard.png"}});
    Canvas texture(64, 64);
    texture.Fill([](float u, float v) {
        const float n = FractalNoise(u * 8.0f, v * 8.0f, 3, 5u);
        return Colour{0.75f + 0.25f * n, 0.78f + 0.2f * n, 0.85f + 0.15f * n, 1.0f};
    });
    texture.WritePng(dir + "shard.png");
    for (int i = 0; i < 18; ++i) {
        const std::string name = i < 5 ? "ball_" + std::to_string(i) : "ball" + std::to_string(i);
        ShardPiece(i / 6, i % 6).WriteObj(dir + name + ".obj", "shards.mtl");
    }
}

void WritePictures(const std::string& dir) {
    Canvas background(480, 320);
    background.Fill([](float u, float v) {
        const float x = (u - 0.5f) * 1.5f, y = v - 0.5f;
        const float r = std::sqrt(x * x + y * y);
        const float swirl = FractalNoise(u * 6.0f + 3.0f * r, v * 4.0f, 4, 11u);
        const float glow = std::exp(-r * 3.0f);
        return Colour{0.05f + 0.35f * glow + 0.08f * swirl, 0.02f + 0.08f * glow, 0.10f + 0.30f * glow + 0.1f * swirl,
                      1.0f};
    });
    background.WritePng(dir + "bg.png");

    Canvas flash(240, 160);
    flash.Fill([](float u, float v) {
        const float x = u - 0.5f, y = (v - 0.5f) * 0.67f;
        const float r = std::sqrt(x * x + y * y);
        const float rays = 0.5f + 0.5f * std::cos(24.0f * std::atan2(y, x));
        const float heat = Clamp01(1.2f - r * 1.5f + 0.15f * rays);
        return Colour{1.0f, 0.85f + 0.15f * heat, 0.6f + 0.4f * heat, 1.0f};
    });
    flash.WritePng(dir + "wire.png");

    OpeningChromeEnvironment(512).WritePng(dir + "envmap.png");

    Canvas wire(8, 8);
    wire.Fill([](float, float) { return Colour{0.55f, 0.95f, 1.0f, 1.0f}; });
    wire.WritePng(dir + "wire_lines.png");
    Canvas ball(8, 8);
    ball.Fill([](float, float) { return Colour{0.9f, 0.9f, 0.95f, 1.0f}; });
    ball.WritePng(dir + "chrome.png");
}

}  // namespace

Canvas OpeningChromeEnvironment(int size) {
    return ChromeEnvironment(size, {0.25f, 0.35f, 0.75f, 1}, {1.0f, 0.8f, 0.7f, 1}, {0.12f, 0.05f, 0.1f, 1});
}

void WriteScene1(const std::string& fxData) {
    const std::string dir = fxData + "/Scene1/";
    mkdir(dir.c_str(), 0755);
    WriteMtl(dir + "scene1.mtl", {{"chrome", "chrome.png"}, {"wire", "wire_lines.png"}});

    Sphere(28, 40, HeartRadius).WithMaterial("chrome").WriteObj(dir + "heartball.obj", "scene1.mtl");
    Sphere(8, 12, [](const Vec3&) { return 2.5f; }).WithMaterial("chrome").WriteObj(dir + "tinyball.obj", "scene1.mtl");
    Sphere(12, 18, [](const Vec3&) { return kSphereRadius; })
        .WithMaterial("wire")
        .WriteObj(dir + "wiresphere.obj", "scene1.mtl");
    Sphere(24, 36, [](const Vec3&) { return kSphereRadius; })
        .WithMaterial("chrome")
        .WriteObj(dir + "solidsphere.obj", "scene1.mtl");

    WriteShards(dir + "shards/");
    WritePictures(dir);
}
