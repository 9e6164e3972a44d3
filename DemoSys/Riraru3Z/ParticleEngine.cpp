#include "ParticleEngine.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "DemoSys/Bundle.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/ShowMemory.h"
#include "Shader.h"
#include "SimpleMaterial.h"
#include "StreamingVertexBuffer.h"

namespace {

const uint8_t kCornerUv[3][2] = {{127, 0}, {0, 255}, {255, 255}};

uint8_t ColourByte(float value) {
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled > 255.0f) return 255;
    return static_cast<uint8_t>(scaled);
}

// A particle's first vertex carries its size (the top corner's height) and
// its alpha byte.
bool LeavesPixels(const ParticleVertex* first) { return first->corner[1] != 0.0f && first->colour[3] != 0; }

float LittleEndianFloat(const unsigned char* bytes) {
    const uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                          static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

ParticleEngine::ParticleEngine(int capacity, const std::string& texturePath)
    : mMaterial(new SimpleMaterial()),
      mShader(Shader::LoadShader(Bundle::Path() + "/FxData/Common/GenericParticle")),
      mCapacity(capacity > 0 ? capacity : 0),
      mParticles(new Particle[mCapacity]()),
      mVertices(new ParticleVertex[static_cast<size_t>(mCapacity) * 3]()),
      mShown(new ParticleVertex[static_cast<size_t>(mCapacity) * 3]),
      mForceField(new float[kFieldCells * 3]()),
      mVertexBuffer(new StreamingVertexBuffer(sizeof(ParticleVertex) * 3 * static_cast<size_t>(mCapacity))) {
    for (int i = 0; i < mCapacity; ++i) {
        for (int k = 0; k < 3; ++k) {
            ParticleVertex& vertex = mVertices[3 * i + k];
            vertex.corner[2] = 0.0f;
            vertex.corner[3] = 1.0f;
            vertex.u = kCornerUv[k][0];
            vertex.v = kCornerUv[k][1];
            mParticles[i].vertices[k] = &vertex;
        }
    }
    mMaterial->LoadTexture(Bundle::Path() + texturePath);
}

ParticleEngine::~ParticleEngine() {
    delete[] mParticles;
    delete[] mVertices;
    delete[] mForceField;
}

void ParticleEngine::SetForceField(const float* cells) {
    if (cells) memcpy(mForceField, cells, kFieldBytes);
    else memset(mForceField, 0, kFieldBytes);
}

int ParticleEngine::AddParticle(const Particle& particle) {
    if (mCapacity == 0) return -1;
    const int slot = static_cast<int>(mAdded % static_cast<uint32_t>(mCapacity));
    Particle& target = mParticles[slot];
    memcpy(&target, &particle, offsetof(Particle, home));  // home and the vertex links are the pool's
    memcpy(target.home, particle.position, sizeof target.home);
    ++mAdded;
    return slot;
}

void ParticleEngine::RegisterState(ShowMemory& memory) {
    // The vertex links stay what they are: they point into this engine's own vertices.
    memory.Add(mParticles, sizeof(Particle) * static_cast<size_t>(mCapacity));
    memory.Add(mVertices, sizeof(ParticleVertex) * 3 * static_cast<size_t>(mCapacity));
    memory.Add(mAdded);
}

int ParticleEngine::CellIndex(float coordinate, float worldSize) {
    const float s = (coordinate + worldSize * 0.5f) / worldSize * kFieldSize;
    if (!(s >= 0.0f)) return 0;
    if (s > kFieldSize - 1) return kFieldSize - 1;
    return static_cast<int>(s);
}

void ParticleEngine::Update(BS::Matrix44*, float dt, float spring) {
    for (int i = 0; i < mCapacity; ++i) {
        Particle& p = mParticles[i];
        if (p.size < 0.0f) {
            p.size = 0.0f;
            p.alpha = 0.0f;
            for (ParticleVertex* vertex : p.vertices) vertex->corner[0] = vertex->corner[1] = vertex->corner[2] = 0.0f;
            continue;
        }
        p.size += p.sizeSpeed * dt;
        p.sizeSpeed += p.sizeAcceleration * dt;
        p.alpha += p.alphaSpeed * dt;
        p.alphaSpeed += p.alphaAcceleration * dt;
        if (p.alpha < 0.0f) p.size = 0.0f;

        const int cell = (CellIndex(p.position[2], mWorldSize) * kFieldSize + CellIndex(p.position[1], mWorldSize)) *
                             kFieldSize +
                         CellIndex(p.position[0], mWorldSize);
        const float* force = &mForceField[3 * cell];
        for (int axis = 0; axis < 3; ++axis) {
            p.velocity[axis] += force[axis] * dt;
            p.velocity[axis] += ((p.home[axis] - p.position[axis]) * dt * spring - p.velocity[axis]) * dt * spring;
            p.position[axis] += p.velocity[axis] * dt;
        }

        const float corners[3][2] = {{0.0f, p.size}, {-p.size, -p.size}, {p.size, -p.size}};
        const uint8_t colour[4] = {ColourByte(p.colour[0]), ColourByte(p.colour[1]), ColourByte(p.colour[2]),
                                   ColourByte(p.alpha)};
        for (int c = 0; c < 3; ++c) {
            ParticleVertex& vertex = *p.vertices[c];
            vertex.corner[0] = corners[c][0];
            vertex.corner[1] = corners[c][1];
            memcpy(vertex.centre, p.position, sizeof vertex.centre);
            memcpy(vertex.colour, colour, sizeof colour);
        }
    }
}

void ParticleEngine::Render(const BS::Matrix44* mvp) const {
    BS::Matrix44 rotation = *mvp;
    for (int i = 0; i < 3; ++i) {
        rotation.SetAt(i, 3, 0.0f);
        rotation.SetAt(3, i, 0.0f);
    }
    rotation.SetAt(3, 3, 1.0f);
    rotation.Inverse();

    mShader->BindShader();
    mMaterial->BindMaterial();
    glUniformMatrix4fv(mShader->GetUniformMvpMatrix(), 1, GL_FALSE, mvp->m);
    glUniformMatrix4fv(mShader->GetUniformCamInvRotMatrix(), 1, GL_FALSE, rotation.m);
    glUniform1i(mShader->GetUniformDiffuseMap(), 0);

    // Blending is order-dependent, so the particles drawn keep the pool's
    // order; one that leaves no pixel (zero size, or an alpha byte of 0,
    // which the blend makes no change of) is left out.
    const ParticleVertex* drawn = mVertices;
    size_t shown = 0;
    for (int i = 0; i < mCapacity; ++i) shown += LeavesPixels(&mVertices[3 * i]);
    if (shown < static_cast<size_t>(mCapacity)) {
        ParticleVertex* out = mShown.get();
        for (int i = 0; i < mCapacity; ++i)
            if (LeavesPixels(&mVertices[3 * i])) out = std::copy_n(&mVertices[3 * i], 3, out);
        drawn = mShown.get();
    }

    const GLsizei stride = sizeof(ParticleVertex);
    mVertexBuffer->Stream(drawn, sizeof(ParticleVertex) * 3 * shown);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, StreamingVertexBuffer::At(offsetof(ParticleVertex, corner)));
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride,
                          StreamingVertexBuffer::At(offsetof(ParticleVertex, colour)));
    glVertexAttribPointer(2, 2, GL_UNSIGNED_BYTE, GL_FALSE, stride, StreamingVertexBuffer::At(offsetof(ParticleVertex, u)));
    glVertexAttribPointer(3, 4, GL_FLOAT, GL_FALSE, stride, StreamingVertexBuffer::At(offsetof(ParticleVertex, centre)));
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(shown * 3));
    StreamingVertexBuffer::Unbind();
}

int ParticleEngine::LoadSystem(FILE* file, const std::string& name) {
    if (!file) {
        DemoLog("%s: no particle file; the pool stays as it was", name.c_str());
        return 0;
    }
    unsigned char record[kRecordBytes];
    int read = 0;
    while (read < mCapacity && fread(record, 1, sizeof record, file) == sizeof record) {
        float fields[kRecordBytes / sizeof(float)];
        for (size_t f = 0; f < kRecordBytes / sizeof(float); ++f) fields[f] = LittleEndianFloat(record + 4 * f);
        memcpy(&mParticles[read], fields, sizeof fields);  // the vertex links stay
        ++read;
    }
    if (read < mCapacity)
        DemoLog("%s: the file holds %d of %d particles; the rest stay as they were", name.c_str(), read, mCapacity);
    return read;
}

bool ReadForceFieldFile(const std::string& path, std::vector<float>& cells) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        DemoLog("%s: cannot open the force field; the field stays as it was", path.c_str());
        return false;
    }
    std::vector<unsigned char> bytes(ParticleEngine::kFieldBytes);
    const size_t got = fread(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    if (got != bytes.size()) {
        DemoLog("%s: %zu of %zu bytes; the field stays as it was", path.c_str(), got, bytes.size());
        return false;
    }
    cells.resize(ParticleEngine::kFieldCells * 3);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = LittleEndianFloat(&bytes[4 * i]);
    return true;
}
