// Triangle meshes for the generated models, written as the OBJ/MTL subset
// the show's reader takes: every vertex carries its own position, texture
// coordinate and normal, faces are triangles in material groups.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Vec3 {
    float x, y, z;
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(const Vec3& a, float s);
Vec3 Cross(const Vec3& a, const Vec3& b);
float Dot(const Vec3& a, const Vec3& b);
Vec3 Normalised(const Vec3& v);

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float u, v;
};

class Mesh {
public:
    // Faces added from now on use this material.
    void UseMaterial(const std::string& name);
    int AddVertex(const MeshVertex& vertex);
    void AddTriangle(int a, int b, int c);
    // A flat-shaded triangle with its own three vertices.
    void AddFlatTriangle(const Vec3& a, const Vec3& b, const Vec3& c, float u = 0.5f, float v = 0.5f);
    void Append(const Mesh& other);
    // Every face takes this material.
    Mesh& WithMaterial(const std::string& name);

    // Moves every vertex (normals follow the transform's rotation part).
    void Transform(const std::function<Vec3(const Vec3&)>& position,
                   const std::function<Vec3(const Vec3&)>& normal);
    void Translate(const Vec3& offset);
    void Scale(float s);
    // Normals recomputed as the area-weighted average of the faces at each vertex.
    void SmoothNormals();

    const std::vector<MeshVertex>& Vertices() const { return mVertices; }
    std::vector<MeshVertex>& Vertices() { return mVertices; }
    size_t TriangleCount() const { return mTriangles.size() / 3; }
    const std::vector<int>& Triangles() const { return mTriangles; }

    // Throws std::runtime_error when the file cannot be written.
    void WriteObj(const std::string& path, const std::string& mtlName) const;

private:
    struct Group {
        std::string material;
        size_t firstIndex;
    };
    std::vector<MeshVertex> mVertices;
    std::vector<int> mTriangles;
    std::vector<Group> mGroups;
};

// A latitude-longitude sphere about the origin, poles on the z axis; radius
// may vary with direction (unit vector) for deformed balls.
Mesh Sphere(int rings, int segments, const std::function<float(const Vec3&)>& radius);
// An axis-aligned box; inward faces for rooms.
Mesh Box(const Vec3& low, const Vec3& high, bool inward);
// A pointed crystal: a prism of `sides` with pyramids at both ends, along y.
Mesh Crystal(int sides, float radius, float length, float tip);
// A tube along the z axis from z0 to z1 whose radius follows r(z).
Mesh Tube(int rings, int segments, float z0, float z1, const std::function<float(float)>& radius);

struct MtlMaterial {
    std::string name;
    std::string texture;  // empty: none
};
void WriteMtl(const std::string& path, const std::vector<MtlMaterial>& materials);
