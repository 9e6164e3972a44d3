#include "DAS_Node.h"

#include <cmath>
#include <cstdio>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Light.h"
#include "B3D/Source/B3D_Mesh.h"
#include "BS/Export/BS_Error.h"
#include "DAS.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"

namespace {

// A node without an object (the importer's group nodes) places its children
// as if it stood at the origin.
const BS::Matrix44& ObjectTransform(const DAS_Node* node) {
    static const BS::Matrix44 kIdentity;
    return node && node->Object() ? node->Object()->mTransform : kIdentity;
}

}  // namespace

void DAS_Node::Animate(float time) {
    // An explicit stack instead of recursion: a scene's parent chain may be as
    // deep as its file says. The stack keeps its capacity from frame to frame.
    mWalk.clear();
    mWalk.push_back(this);
    while (!mWalk.empty()) {
        DAS_Node* node = mWalk.back();
        mWalk.pop_back();
        node->Move(time);
        mWalk.insert(mWalk.end(), node->mChildren.rbegin(), node->mChildren.rend());
    }
}

void DAS_Node::Move(float time) {
    if (mObject) {
        const BS::Vector4 p = mAnimator.Position(time, mLoops);
        const BS::Matrix44 rotation = mAnimator.Rotation(time, mLoops).Matrix();
        BS::Matrix44 translation;
        translation.SetPosition(BS::Vector3(p.x, p.y, p.z));
        const BS::Matrix44 local = translation * rotation * mScaleMatrix;
        mObject->mTransform = mParent ? ObjectTransform(mParent) * local : local;
    }
}

void DAS_Node::InsertChild(DAS_Node* child) {
    if (child) mChildren.push_back(child);
}

DAS_MeshNode::DAS_MeshNode(B3D_Mesh* mesh, DAS_Node* parent) : DAS_Node(parent), mMesh(mesh) { mObject = mesh; }

DAS_MeshNode::~DAS_MeshNode() {
    for (DAS_SkinBone* bone : mBones) delete bone;
}

void DAS_MeshNode::Move(float time) {
    mVertexAnimator.Animate(time, mLoops);
    mFaceAnimator.Animate(time, mLoops);
    if (mVertexAnimator.Animated() && mMesh) mMesh->VerticesChanged();
    DAS_Node::Move(time);
}

void DAS_MeshNode::Prepare() {
    if (!mMesh) return;
    if (mMesh->VertexNum() != mVertexAnimator.mVertices.size())
        throw BS::Error(
            "Mesh vertex count does not equal keyframe data vertex count! - Error in loader, or mesh has been "
            "modified?!");
    for (unsigned i = 0; i < mVertexAnimator.mVertices.size(); ++i) {
        DAS_Vertex& vertex = mVertexAnimator.mVertices[i];
        vertex.mTarget = mMesh->Vertex(i);
        vertex.Animate(0.0f, false);
    }
}

void DAS_MeshNode::PrepareBones() {
    for (DAS_SkinBone* bone : mBones) {
        bone->node = gDAS ? gDAS->NodeForName(bone->name) : nullptr;
        if (!bone->node) throw BS::Error("No matching node for bone found!\n");
    }
}

void DAS_MeshNode::AnimateSkin() {
    if (!mMesh || mBones.empty()) return;
    BS::Matrix44 inverseScale = mScaleMatrix;
    inverseScale.Inverse();
    const BS::Vector4 w = (inverseScale * mMesh->mTransform).GetColumn(3);
    BS::Matrix44 exchange;  // the importer's axes: x -> -z, y -> -x, z -> y
    exchange.SetPosition(BS::Vector3(-w.z, -w.x, w.y));
    const BS::Matrix44 p = exchange * inverseScale * mMesh->mInverseBaseTransform;
    for (DAS_SkinBone* bone : mBones)
        bone->skinMatrix = p * ObjectTransform(bone->node) * bone->inverseInitTransform * mSkinInitTransform;

    bool moved = false;
    for (DAS_Vertex& vertex : mVertexAnimator.mVertices) {
        if (vertex.mInfluences.empty() || !vertex.mTarget) continue;
        BS::Vector3 acc(0.0f, 0.0f, 0.0f);
        double sum = 0.0;
        for (const DAS_SkinInfluence& influence : vertex.mInfluences) {
            if (!influence.bone) continue;
            acc += influence.bone->skinMatrix.TransformPoint(vertex.mPosition) * influence.weight;
            sum += std::fabs(influence.weight);
        }
        if (std::fabs(sum - 1.0) > 0.01) printf("Warning: diff = %f\n", sum);
        vertex.mTarget[0] = acc.x;
        vertex.mTarget[1] = acc.y;
        vertex.mTarget[2] = acc.z;
        moved = true;
    }
    if (moved) mMesh->VerticesChanged();
}

DAS_CameraNode::~DAS_CameraNode() { delete mCamera; }

void DAS_CameraNode::Move(float time) {
    DAS_Node::Move(time);
    if (mCamera) mCamera->mTransform = ObjectTransform(this);
}

bool DAS_CameraNode::AddInterval(float start, float end) {
    if (mIntervalCount >= kMaxIntervals) return false;
    mIntervalStarts[mIntervalCount] = start;
    mIntervalEnds[mIntervalCount] = end;
    ++mIntervalCount;
    return true;
}

bool DAS_CameraNode::ActiveAt(float time) const {
    for (unsigned k = 0; k < mIntervalCount; ++k)
        if (mIntervalStarts[k] <= time && time <= mIntervalEnds[k]) return true;
    return false;
}

DAS_LightNode::DAS_LightNode(B3D_Light* light, DAS_Node* parent) : DAS_Node(parent), mLight(light) { mObject = light; }

DAS_Material::~DAS_Material() { delete mMaterial; }
