// Reads the exporter's subset of Wavefront OBJ and MTL into models whose
// render lists hold vertices in the GPU's layout. Models and materials are
// remembered for the life of the process: a second load of a path shares the
// first one's render lists.
//
// A line that breaks the subset's rules (a face before any "usemtl", a face
// of other than three corners, an index of 0, negative or past the end, the
// position//normal form without any "vt", "map_Kd" before "newmtl", a line
// longer than the reader's buffer) is skipped with one message on standard
// error naming the file and line, and the load goes on.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class SimpleModel;
class SimpleMaterial;
class Shader;

class ObjReader {
public:
    static constexpr unsigned kLines = 1;  // GL_LINES: emit each triangle as its three edges

    // directory ends with "/"; basePath is the bundle, to find the default shader.
    SimpleModel* LoadObj(const std::string& basePath, const std::string& directory, const std::string& fileName,
                         float scale, unsigned primitive);
    void LoadMaterials(const std::string& directory, const std::string& fileName);

    std::map<std::string, SimpleModel*> mModels;
    // A later "newmtl" of the same name replaces the entry; lists already
    // made keep the older material.
    std::map<std::string, SimpleMaterial*> mMaterials;

private:
    // Everything the reader ever made, kept for the life of the process
    // (replaced materials and second instances of a model included).
    std::vector<std::unique_ptr<SimpleModel>> mModelStore;
    std::vector<std::unique_ptr<SimpleMaterial>> mMaterialStore;

    SimpleModel* Keep(SimpleModel* model);
};

ObjReader* GetObjectReader();
