// A fixed pool of particles moved through a 32^3 force field and an optional
// spring towards each particle's home, drawn in one call as camera-facing
// triangles. Size and alpha carry their own speed and acceleration, so
// particles grow, shrink and fade without per-frame scene code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BS/Export/BS_Math.h"

class Shader;
class ShowMemory;
class SimpleMaterial;
class StreamingVertexBuffer;

struct ParticleVertex {
    float corner[4];  // x, y rewritten every update; 0, 1 fixed
    float centre[3];
    float unused;     // read as the centre's fourth component
    uint8_t colour[4];
    uint8_t u, v;
    uint8_t padding[2];
};
static_assert(sizeof(ParticleVertex) == 40, "the layout the GPU reads");

struct Particle {
    float size;  // negative: dead for this frame
    float sizeSpeed;
    float sizeAcceleration;
    float alpha;
    float alphaSpeed;
    float alphaAcceleration;
    float colour[3];
    float velocity[3];
    float position[3];
    float home[3];
    ParticleVertex* vertices[3];
};
// A particle file's record is a particle up to its vertex links.
static_assert(offsetof(Particle, vertices) == 18 * sizeof(float), "the particle file's record");

class ParticleEngine {
public:
    static constexpr int kFieldSize = 32;
    static constexpr int kFieldCells = kFieldSize * kFieldSize * kFieldSize;
    static constexpr size_t kFieldBytes = kFieldCells * 3 * sizeof(float);
    static constexpr size_t kRecordBytes = offsetof(Particle, vertices);

    // texturePath is under the bundle and starts with "/".
    ParticleEngine(int capacity, const std::string& texturePath);
    ~ParticleEngine();
    ParticleEngine(const ParticleEngine&) = delete;
    ParticleEngine& operator=(const ParticleEngine&) = delete;

    void SetWorldSize(float size) { mWorldSize = size; }
    // Copies the cells; null clears the field.
    void SetForceField(const float* cells);
    // Takes slot (added count mod capacity); home becomes the position.
    int AddParticle(const Particle& particle);
    void Update(BS::Matrix44* unused, float dt, float spring);
    // The pool, its vertices and the next slot: all that Update and AddParticle change.
    void RegisterState(ShowMemory& memory);
    // Draws the particles that leave pixels: a particle of no size or of no
    // alpha draws nothing, so the picture is that of the whole pool.
    void Render(const BS::Matrix44* mvp) const;
    Particle* GetParticles() { return mParticles; }
    SimpleMaterial* GetMaterial() const { return mMaterial.get(); }
    int GetCapacity() const { return mCapacity; }
    const ParticleVertex* GetVertices() const { return mVertices; }

    // Reads little-endian records over the leading slots. Answers the
    // records read; a short file fills only the leading slots and says so.
    // The name is only for the messages.
    int LoadSystem(FILE* file, const std::string& name = "particles");

    // The cell a coordinate falls in: the border cells serve everything outside.
    static int CellIndex(float coordinate, float worldSize);

private:
    std::unique_ptr<SimpleMaterial> mMaterial;
    Shader* mShader;
    int mCapacity;
    uint32_t mAdded = 0;
    Particle* mParticles;
    ParticleVertex* mVertices;
    // The vertices of the particles that leave pixels, in pool order, when
    // some leave none (a faded pool): drawing fewer triangles costs less.
    std::unique_ptr<ParticleVertex[]> mShown;
    float* mForceField;
    std::unique_ptr<StreamingVertexBuffer> mVertexBuffer;  // the vertices, as the GPU reads them
    float mWorldSize = 20.0f;
};

// Reads a whole force-field file (32^3 cells of three little-endian floats).
// False, with one line on standard error, when it is missing or short.
bool ReadForceFieldFile(const std::string& path, std::vector<float>& cells);
