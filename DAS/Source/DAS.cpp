#include "DAS.h"

#include <algorithm>
#include <cstdio>

#include "B3D/Source/B3D_Light.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DemoSys/SimpleTexture.h"

DAS* gDAS = nullptr;

namespace {

// Skeleton geometry is named "Bone" and something: it only carries skinning.
bool IsBoneName(const std::string& name) { return name.size() > 4 && name.compare(0, 4, "Bone") == 0; }

}  // namespace

DAS::~DAS() {
    for (DAS_Node* node : mNodes) delete node;
    for (DAS_Material* material : mMaterials) delete material;
    for (SimpleTexture* texture : mTextures) delete texture;
    if (gDAS == this) gDAS = nullptr;
}

void DAS::AddToTree(DAS_Node* node, DAS_Node* parent) {
    mNodes.push_back(node);
    if (parent) parent->InsertChild(node);
    else mRootNodes.push_back(node);
}

DAS_Node* DAS::InsertNode(DAS_Node* node, DAS_Node* parent) {
    if (node) AddToTree(node, parent);
    return node;
}

DAS_MeshNode* DAS::InsertMesh(B3D_Mesh* mesh, DAS_Node* parent) {
    auto* node = new DAS_MeshNode(mesh, parent);
    mWorld->AddObject(mesh);
    AddToTree(node, parent);
    mMeshes.push_back(node);
    return node;
}

DAS_LightNode* DAS::InsertLight(B3D_Light* light, DAS_Node* parent) {
    auto* node = new DAS_LightNode(light, parent);
    AddToTree(node, parent);
    mLights.push_back(node);
    mWorld->AddLight(light);
    return node;
}

DAS_CameraNode* DAS::InsertCamera(DAS_CameraNode* camera, DAS_Node* parent) {
    if (!camera) throw BS::OutOfMemory("Couldn't create new CameraNode in animation system");
    AddToTree(camera, parent);
    mCameras.push_back(camera);
    return camera;
}

void DAS::InsertObject(B3D_Object* object) { mWorld->AddObject(object); }

void DAS::InsertMaterial(DAS_Material* material) {
    if (!material) throw BS::Error("Material cannot be NULL");
    mMaterials.push_back(material);
}

void DAS::InsertTexture(SimpleTexture* texture) {
    if (!texture) throw BS::Error("Texture cannot be NULL");
    mTextures.push_back(texture);
}

void DAS::Prepare() {
    gDAS = this;
    for (DAS_Node* node : mNodes) {
        if (mLinkByName && !node->mParentName.empty()) {
            if (DAS_Node* parent = NodeForName(node->mParentName)) {
                node->SetParent(parent);
                parent->InsertChild(node);
            }
        }
        if (IsBoneName(node->mName)) {
            if (auto* mesh = dynamic_cast<DAS_MeshNode*>(node)) {
                if (mesh->Mesh()) mesh->Mesh()->Hide();
            } else if (auto* light = dynamic_cast<DAS_LightNode*>(node)) {
                if (light->Light()) light->Light()->Hide();
            }
        }
        node->Prepare();
        if (node->Object()) node->Object()->SetName(node->mName);
    }
    if (mLinkByName)
        for (DAS_MeshNode* mesh : mMeshes) mesh->PrepareBones();
    mRootNodes.erase(std::remove_if(mRootNodes.begin(), mRootNodes.end(),
                                    [](const DAS_Node* node) { return node->Parent() != nullptr; }),
                     mRootNodes.end());
}

void DAS::Animate(float time) {
    gDAS = this;
    for (DAS_Node* root : mRootNodes) root->Animate(time);
    for (DAS_MeshNode* mesh : mMeshes) mesh->AnimateSkin();
}

DAS_CameraNode* DAS::ActiveCamera(float time) const {
    for (DAS_CameraNode* camera : mCameras)
        if (camera->ActiveAt(time)) return camera;
    return nullptr;
}

DAS_CameraNode* DAS::FirstCamera() const {
    for (DAS_Node* node : mNodes)
        if (auto* camera = dynamic_cast<DAS_CameraNode*>(node)) return camera;
    return nullptr;
}

DAS_Node* DAS::NodeForName(const std::string& name) const {
    for (DAS_Node* node : mNodes)
        if (node->mName == name) return node;
    printf("--> '%s' not found, returning NULL\n", name.c_str());
    return nullptr;
}

DAS_Node* DAS::NodeForObject(const B3D_Object* object) const {
    for (DAS_Node* node : mNodes)
        if (node->Object() == object) return node;
    return nullptr;
}
