// The animation tree of a scene: every node evaluates its track, composes its
// world matrix with its parent's and writes it into the scene-graph object it
// drives. Mesh nodes also morph and skin their mesh's vertices; camera nodes
// move a camera and carry the intervals in which it is the active one.
#pragma once

#include <string>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DAS_Keyframes.h"

class B3D_Camera;
class B3D_Light;
class B3D_Mesh;
class B3D_Object;
class SimpleMaterial;

class DAS_Node {
public:
    DAS_Node() = default;
    explicit DAS_Node(DAS_Node* parent) : mParent(parent) {}
    virtual ~DAS_Node() = default;
    DAS_Node(const DAS_Node&) = delete;
    DAS_Node& operator=(const DAS_Node&) = delete;

    // Moves this node, then every node below it, parents before children.
    void Animate(float time);
    // Appends a non-null child; the child's parent is not changed.
    virtual void InsertChild(DAS_Node* child);
    virtual DAS_Node* Parent() const { return mParent; }
    virtual bool IsCamera() const { return false; }
    virtual void Prepare() {}

    B3D_Object* Object() const { return mObject; }
    std::string Name() const { return mName; }
    void SetAnimationLoops(bool loops) { mLoops = loops; }
    bool AnimationLoops() const { return mLoops; }
    const std::vector<DAS_Node*>& Children() const { return mChildren; }
    void SetParent(DAS_Node* parent) { mParent = parent; }

    bool mLoops = false;
    DAS_ObjectAnimator mAnimator;
    std::vector<DAS_Node*> mChildren;
    DAS_Node* mParent = nullptr;
    B3D_Object* mObject = nullptr;
    std::string mName;
    std::string mParentName;
    BS::Matrix44 mScaleMatrix;

protected:
    // Writes this node's world matrix into its object (if any).
    virtual void Move(float time);

private:
    std::vector<DAS_Node*> mWalk;  // the nodes Animate has still to move
};

struct DAS_SkinBone {
    std::string name;
    DAS_Node* node = nullptr;
    BS::Matrix44 initTransform;
    BS::Matrix44 inverseInitTransform;
    BS::Matrix44 skinMatrix;  // this frame's bind-to-mesh matrix, made once per mesh per frame
};

class DAS_MeshNode : public DAS_Node {
public:
    DAS_MeshNode(B3D_Mesh* mesh, DAS_Node* parent);
    ~DAS_MeshNode() override;

    // Morphs the vertices, then moves the mesh.
    void Move(float time) override;
    // Binds every vertex track to its vertex in the mesh and writes time 0.
    void Prepare() override;
    // Deforms the mesh by its bones; runs after every node has moved.
    virtual void AnimateSkin();
    // Finds the bones' nodes by name in the current scene.
    virtual void PrepareBones();
    // The importer announces a mesh's size; nothing is reserved.
    void AllocateMemory(unsigned, unsigned) {}

    B3D_Mesh* Mesh() const { return mMesh; }
    // The node owns the bones it is given.
    void AddBone(DAS_SkinBone* bone) { mBones.push_back(bone); }
    const std::vector<DAS_SkinBone*>& Bones() const { return mBones; }

    DAS_VertexAnimator mVertexAnimator;
    DAS_FaceAnimator mFaceAnimator;
    BS::Matrix44 mSkinInitTransform;
    BS::Matrix44 mInverseSkinInitTransform;

private:
    B3D_Mesh* mMesh;
    std::vector<DAS_SkinBone*> mBones;
};

class DAS_CameraNode : public DAS_Node {
public:
    static constexpr unsigned kMaxIntervals = 32;

    DAS_CameraNode() = default;
    explicit DAS_CameraNode(DAS_Node* parent) : DAS_Node(parent) {}
    // The node owns its camera.
    ~DAS_CameraNode() override;

    // Moves the node, then the camera to the node's transform.
    void Move(float time) override;
    bool IsCamera() const override { return true; }
    B3D_Camera* Camera() const { return mCamera; }
    // False when all 32 intervals are taken.
    bool AddInterval(float start, float end);
    bool ActiveAt(float time) const;

    B3D_Camera* mCamera = nullptr;  // owned
    float mIntervalStarts[kMaxIntervals] = {};
    float mIntervalEnds[kMaxIntervals] = {};
    DAS_ObjectAnimator mTargetAnimator;  // the target's positions, not evaluated by Animate
    unsigned mIntervalCount = 0;
};

class DAS_LightNode : public DAS_Node {
public:
    DAS_LightNode(B3D_Light* light, DAS_Node* parent);
    B3D_Light* Light() const { return mLight; }

private:
    B3D_Light* mLight;
};

class DAS_Material {
public:
    DAS_Material() = default;
    DAS_Material(SimpleMaterial* material, const std::string& name) : mMaterial(material), mName(name) {}
    ~DAS_Material();
    DAS_Material(const DAS_Material&) = delete;
    DAS_Material& operator=(const DAS_Material&) = delete;

    SimpleMaterial* mMaterial = nullptr;  // owned
    std::string mName;
};
