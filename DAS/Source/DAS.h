// An animation scene: the nodes, materials and textures of one scene file
// over a B3D world, prepared once and then animated by time. The scene most
// recently prepared or animated is the current one (gDAS), against whose
// last time every track is evaluated.
#pragma once

#include <string>
#include <vector>

#include "DAS_Node.h"

class B3D_World;
class SimpleTexture;
namespace BS {
class File;
class Directory;
}  // namespace BS

class DAS {
public:
    explicit DAS(B3D_World* world) : mWorld(world) {}
    // Deletes the nodes, material records and textures; not the world or its objects.
    ~DAS();
    DAS(const DAS&) = delete;
    DAS& operator=(const DAS&) = delete;

    B3D_World* World() const { return mWorld; }
    float LastTime() const { return mLastTime; }
    void SetLastTime(float time) { mLastTime = time; }
    const std::vector<DAS_Node*>& Nodes() const { return mNodes; }
    const std::vector<DAS_MeshNode*>& Meshes() const { return mMeshes; }
    const std::vector<DAS_Node*>& RootNodes() const { return mRootNodes; }
    const std::vector<DAS_CameraNode*>& Cameras() const { return mCameras; }
    void SetLinkByName(bool on) { mLinkByName = on; }
    const std::vector<DAS_Material*>& Materials() const { return mMaterials; }

    DAS_Node* InsertNode(DAS_Node* node, DAS_Node* parent);
    DAS_MeshNode* InsertMesh(B3D_Mesh* mesh, DAS_Node* parent);
    DAS_LightNode* InsertLight(B3D_Light* light, DAS_Node* parent);
    DAS_CameraNode* InsertCamera(DAS_CameraNode* camera, DAS_Node* parent);
    void InsertObject(B3D_Object* object);
    void InsertMaterial(DAS_Material* material);
    void InsertTexture(SimpleTexture* texture);
    // Reads a MAS scene file into this scene (parents are then linked by
    // name); BS::Error, naming the line, when the file is malformed.
    void InsertFromMAS(BS::File* file, BS::Directory directory, DAS_Node* parent);

    // Links parents by name, hides "Bone..." geometry, binds meshes and bones.
    void Prepare();
    void Animate(float time);
    // The first camera (in insertion order) with an interval holding time, or null.
    DAS_CameraNode* ActiveCamera(float time) const;
    DAS_CameraNode* FirstCamera() const;
    // Null, after a "not found" line on standard output, when no node has the name.
    DAS_Node* NodeForName(const std::string& name) const;
    DAS_Node* NodeForObject(const B3D_Object* object) const;
    void CheckScene() {}

private:
    void AddToTree(DAS_Node* node, DAS_Node* parent);

    float mLastTime = 0.0f;
    B3D_World* mWorld;
    bool mLinkByName = false;
    std::vector<DAS_Node*> mNodes;
    std::vector<DAS_MeshNode*> mMeshes;
    std::vector<DAS_CameraNode*> mCameras;
    std::vector<DAS_LightNode*> mLights;
    std::vector<DAS_Node*> mRootNodes;
    std::vector<DAS_Material*> mMaterials;
    std::vector<SimpleTexture*> mTextures;
};

extern DAS* gDAS;
