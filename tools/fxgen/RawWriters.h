// The particle engine's two binary files, little-endian floats without header.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Mesh.h"

struct ParticleRecord {
    float size, sizeSpeed, sizeAcceleration;
    float alpha, alphaSpeed, alphaAcceleration;
    Vec3 colour, velocity, position, home;
};

void WriteParticleFile(const std::string& path, const std::vector<ParticleRecord>& particles);
// 32^3 cells over the cube [-world/2, world/2), x fastest; force(cell centre).
void WriteForceFieldFile(const std::string& path, float worldSize, const std::function<Vec3(const Vec3&)>& force);
