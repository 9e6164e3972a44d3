// A drawable scene object: filled vertex by vertex and face by face during
// import, turned once into a render list of its own model, and drawn from
// the camera's view with the quarter turn onto the portrait screen.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "B3D_Object.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"

class RenderList;
class SimpleMaterial;
class SimpleTexture;

class B3D_Mesh : public B3D_Object {
public:
    B3D_Mesh();
    ~B3D_Mesh() override;

    void Render(B3D_Camera& camera, BS::Matrix44 m) override;
    void RenderShadows(B3D_Camera& camera, BS::Matrix44 m) override;
    // Builds the render list from the faces; vertices and faces are fixed after it.
    void LoadForContext() override;
    bool IsMesh() const override { return true; }
    virtual void RecursiveSetEnvironment(SimpleTexture*) {}
    // Given to every render list of the model.
    virtual void SetMaterial(SimpleMaterial* material);
    SimpleMaterial* Material() const { return mMaterial; }

    // Position (x, y, z), normal (0, 0, 1), texture coordinate (0, 0); answers its number.
    uint16_t CreateVertex(float x, float y, float z);
    // The three position floats of a vertex; BS::Error for a number past the last.
    float* Vertex(unsigned index);
    float* TextureVertex(unsigned index);
    const float* Normal(unsigned index) const;
    unsigned VertexNum() const { return static_cast<unsigned>(mPositions.size() / 3); }
    unsigned NormalNum() const { return VertexNum(); }
    unsigned TextureVertexNum() const { return VertexNum(); }
    // A triangle of existing vertices; each corner takes the face's normal.
    // BS::Error for a vertex number past the last.
    void CreateFace(unsigned a, unsigned b, unsigned c);
    unsigned FaceNum() const { return static_cast<unsigned>(mFaces.size() / 3); }
    // Positions were rewritten through Vertex() (morphing, skinning): the
    // next draw copies them into the render list and uploads it again.
    void VerticesChanged() { mVerticesChanged = true; }

    SimpleModel mModel;  // scenes set its shader directly

private:
    void CheckVertex(unsigned index) const;
    void PlaceModel(const B3D_Camera& camera);
    void CopyPositionsToList();

    std::unique_ptr<RenderList> mRenderList;  // the mesh's own, not shared like a model file's
    SimpleMaterial* mMaterial = nullptr;
    std::vector<float> mPositions;
    std::vector<float> mNormals;
    std::vector<float> mTextureCoordinates;
    std::vector<uint16_t> mFaces;
    bool mLoaded = false;
    bool mVerticesChanged = false;
};
