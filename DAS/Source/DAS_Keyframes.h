// Keyframe tracks of an animation scene, each sorted by time and evaluated at
// any time against the current scene's last time (wrapping when the owner
// loops, clamping otherwise). Positions, vertices and face data follow
// Catmull-Rom curves through the keys; rotations slerp between two keys.
#pragma once

#include <vector>

#include "BS/Export/BS_Math.h"

struct DAS_SkinBone;

// Time -1 marks a default key, which the first real key of a vertex replaces.
constexpr float kDefaultKeyTime = -1.0f;

class DAS_ObjectPositionKeyframe {
public:
    DAS_ObjectPositionKeyframe() = default;
    DAS_ObjectPositionKeyframe(const BS::Vector3& position, float time) : mPosition(position), mTime(time) {}
    const BS::Vector3& Position() const { return mPosition; }
    float Time() const { return mTime; }

private:
    BS::Vector3 mPosition;
    float mTime = kDefaultKeyTime;
};

class DAS_ObjectRotationKeyframe {
public:
    DAS_ObjectRotationKeyframe() = default;
    DAS_ObjectRotationKeyframe(const BS::Matrix44& m, float time) : mRotation(m.GetQuaternion()), mMatrix(m), mTime(time) {}
    DAS_ObjectRotationKeyframe(const BS::Quaternion& q, float time) : mRotation(q), mMatrix(q.Matrix()), mTime(time) {}
    const BS::Quaternion& GetQuaternion() const { return mRotation; }
    float Time() const { return mTime; }

private:
    BS::Quaternion mRotation;
    BS::Matrix44 mMatrix;
    float mTime = kDefaultKeyTime;
};

// A node's position and rotation tracks.
class DAS_ObjectAnimator {
public:
    // BS::Error "Two keyframes cannot have the same time!" for a repeated time.
    void AddPositionKey(const DAS_ObjectPositionKeyframe& key);
    void AddRotationKey(const DAS_ObjectRotationKeyframe& key);
    // A sample at time 0 takes the place of the node transform's key (added when there is none).
    void ReplaceFirstPositionKey(const DAS_ObjectPositionKeyframe& key);
    void ReplaceFirstRotationKey(const DAS_ObjectRotationKeyframe& key);
    // (0, 0, 0, 1) without keys.
    BS::Vector4 Position(float time, bool loop) const;
    // The identity without keys.
    BS::Quaternion Rotation(float time, bool loop) const;

    const std::vector<DAS_ObjectPositionKeyframe>& PositionKeys() const { return mPositionKeys; }
    const std::vector<DAS_ObjectRotationKeyframe>& RotationKeys() const { return mRotationKeys; }

private:
    std::vector<DAS_ObjectPositionKeyframe> mPositionKeys;
    std::vector<DAS_ObjectRotationKeyframe> mRotationKeys;
};

struct DAS_VertexKeyframe {
    DAS_VertexKeyframe() = default;
    DAS_VertexKeyframe(const BS::Vector3& p, float t) : position(p), time(t) {}
    float Time() const { return time; }

    BS::Vector3 position;
    float time = kDefaultKeyTime;
};

struct DAS_SkinInfluence {
    float weight = 0.0f;
    DAS_SkinBone* bone = nullptr;
};

class DAS_Vertex {
public:
    // Evaluates the track into position and writes it through target (when
    // bound). BS::Error "No key frame for vertex found, can't Animate!" without keys.
    void Animate(float time, bool loop);

    std::vector<DAS_VertexKeyframe> mKeys;
    std::vector<DAS_SkinInfluence> mInfluences;
    BS::Vector3 mPosition;
    float* mTarget = nullptr;  // the mesh's three position floats
};

class DAS_VertexAnimator {
public:
    void AddKey(const DAS_VertexKeyframe& key, unsigned vertexIndex);
    // Only when some vertex has more than one key.
    void Animate(float time, bool loop);
    bool Animated() const { return mAnimated; }

    std::vector<DAS_Vertex> mVertices;

private:
    bool mAnimated = false;
};

struct DAS_FaceKeyframe {
    DAS_FaceKeyframe() = default;
    DAS_FaceKeyframe(const BS::Vector2 uv[3], const BS::Vector3 n[3], float t) : time(t) {
        for (int i = 0; i < 3; ++i) {
            textureCoordinates[i] = uv[i];
            normals[i] = n[i];
        }
    }
    float Time() const { return time; }

    BS::Vector2 textureCoordinates[3];
    BS::Vector3 normals[3];
    float time = 0.0f;
};

class DAS_Face {
public:
    // Evaluates the track into the three corners' texture coordinates and normals.
    void Animate(float time, bool loop);

    int mVertexIndices[3] = {0, 0, 0};
    std::vector<DAS_FaceKeyframe> mKeys;
    BS::Vector2 mTextureCoordinates[3];
    BS::Vector3 mNormals[3];
};

class DAS_FaceAnimator {
public:
    void AddKey(const DAS_FaceKeyframe& key, unsigned faceIndex);
    void Animate(float time, bool loop);
    bool Animated() const { return mAnimated; }

    std::vector<DAS_Face> mFaces;

private:
    bool mAnimated = false;
};
