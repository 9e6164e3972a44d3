// Writes animated scenes as MAS text, the format the show's importer reads.
// Values are given in the show's own frame and seconds; the writer turns
// them into the file's frame and ticks exactly as the importer turns them
// back, so generated scenes and the importer stay in step.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Mesh.h"

struct MasPositionKey {
    float seconds;
    Vec3 position;
};

// An absolute orientation: an angle about an axis (not necessarily unit).
struct MasRotationKey {
    float seconds;
    Vec3 axis;
    float angle;
};

struct MasFrame {
    float seconds;  // not 0: time 0 is the rest mesh
    std::vector<Vec3> positions;
};

struct MasSkinBone {
    std::string name;
    std::array<Vec3, 4> bindColumns;  // the affine bind matrix, translation last
    std::vector<std::pair<int, float>> weights;  // vertex, weight
};

struct MasGeometry {
    std::string name;
    std::string parent;
    int material = -1;  // index over all materials, -1 for none
    Vec3 position{0, 0, 0};
    Vec3 axis{0, 0, 1};
    float angle = 0.0f;
    Vec3 scale{1, 1, 1};
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> faces;  // corner order as the mesh keeps it
    std::vector<std::array<float, 2>> uvs;  // per vertex; empty for none
    std::vector<Vec3> normals;              // per vertex; empty for none
    std::vector<MasFrame> frames;
    bool skinned = false;
    std::array<Vec3, 4> skinColumns{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}};
    std::vector<MasSkinBone> bones;
    std::vector<MasPositionKey> positionKeys;  // seconds above 0
    std::vector<MasRotationKey> rotationKeys;
};

struct MasCamera {
    std::string name;  // the node is found afterwards as name + ".Target"
    Vec3 position{0, 0, 0};
    Vec3 axis{0, 0, 1};
    float angle = 0.0f;
    Vec3 target{0, 0, 0};
    std::vector<std::array<float, 2>> intervals;  // start, end seconds
    std::vector<MasPositionKey> positionKeys;
    std::vector<MasRotationKey> rotationKeys;
};

struct MasMaterial {
    std::string diffuse;  // picture file name; empty for none
    std::string reflect;  // names the material when given
};

struct MasScene {
    float frameSpeed = 30.0f;
    float ticksPerFrame = 160.0f;
    float lastFrame = 0.0f;
    std::vector<MasMaterial> materials;
    std::vector<MasGeometry> objects;
    std::vector<MasCamera> cameras;
};

// Appends a mesh's vertices (with normals and texture coordinates, the latter
// scaled by uvScale) and triangles to a geometry object.
void AddShape(MasGeometry& geometry, const Mesh& shape, float uvScale = 1.0f);

std::string WriteMas(const MasScene& scene);
// Throws std::runtime_error when the file cannot be written.
void WriteMasFile(const std::string& path, const MasScene& scene);
