#include "RawWriters.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

void PutFloat(std::vector<unsigned char>& out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

void PutVec3(std::vector<unsigned char>& out, const Vec3& v) {
    PutFloat(out, v.x);
    PutFloat(out, v.y);
    PutFloat(out, v.z);
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    const size_t written = fwrite(bytes.data(), 1, bytes.size(), file);
    if (fclose(file) != 0 || written != bytes.size()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteParticleFile(const std::string& path, const std::vector<ParticleRecord>& particles) {
    std::vector<unsigned char> bytes;
    bytes.reserve(particles.size() * 72);
    for (const ParticleRecord& p : particles) {
        for (float f : {p.size, p.sizeSpeed, p.sizeAcceleration, p.alpha, p.alphaSpeed, p.alphaAcceleration})
            PutFloat(bytes, f);
        PutVec3(bytes, p.colour);
        PutVec3(bytes, p.velocity);
        PutVec3(bytes, p.position);
        PutVec3(bytes, p.home);
    }
    WriteBytes(path, bytes);
}

void WriteForceFieldFile(const std::string& path, float worldSize, const std::function<Vec3(const Vec3&)>& force) {
    constexpr int kCells = 32;
    std::vector<unsigned char> bytes;
    bytes.reserve(kCells * kCells * kCells * 12);
    const float cell = worldSize / kCells;
    for (int z = 0; z < kCells; ++z)
        for (int y = 0; y < kCells; ++y)
            for (int x = 0; x < kCells; ++x) {
                const Vec3 centre{-worldSize / 2 + (x + 0.5f) * cell, -worldSize / 2 + (y + 0.5f) * cell,
                                  -worldSize / 2 + (z + 0.5f) * cell};
                PutVec3(bytes, force(centre));
            }
    WriteBytes(path, bytes);
}
