#include "DAS_Keyframes.h"

#include <cmath>

#include "BS/Export/BS_Error.h"
#include "DAS.h"

namespace {

const char* const kNoKeys = "No key frame for vertex found, can't Animate!";

template <typename Key>
void InsertSorted(std::vector<Key>& keys, const Key& key) {
    size_t at = keys.size();
    while (at > 0) {
        const float existing = keys[at - 1].Time();
        if (existing == key.Time()) throw BS::Error("Two keyframes cannot have the same time!");
        if (existing < key.Time()) break;
        --at;
    }
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), key);
}

// The first real key of an element replaces the importer's key at time -1.
template <typename Element, typename Key>
void AddElementKey(std::vector<Element>& elements, unsigned index, const Key& key, bool& animated) {
    while (elements.size() <= index) elements.emplace_back();
    std::vector<Key>& keys = elements[index].mKeys;
    if (!keys.empty()) animated = true;
    if (!keys.empty() && keys.front().Time() == kDefaultKeyTime) keys.front() = key;
    else InsertSorted(keys, key);
}

float SceneLastTime() { return gDAS ? gDAS->LastTime() : 0.0f; }

// Where a track is read at `time`: past the scene's end a non-looping track
// holds its last key, a looping one wraps. A scene without a length never wraps.
struct TrackTime {
    bool atLastKey;
    float time;
};

TrackTime Normalise(float time, bool loop) {
    const float last = SceneLastTime();
    if (!(time > last)) return {false, time};
    if (!loop || !(last > 0.0f)) return {true, time};
    const double t = time, l = last;
    return {false, static_cast<float>(t - std::floor(t / l) * l)};
}

// The number of keys at or before time.
template <typename Key>
int KeysUpTo(const std::vector<Key>& keys, float time) {
    int i = 0;
    while (i < static_cast<int>(keys.size()) && keys[i].Time() <= time) ++i;
    return i;
}

int Wrap(int k, int n) { return ((k % n) + n) % n; }
int Clamp(int k, int n) { return k < 0 ? 0 : (k > n - 1 ? n - 1 : k); }

// The four keys of the Catmull-Rom segment around time, and the position in it.
struct Segment {
    int k[4];
    bool single;  // k1 = k2: the value of key k2 as it is
    float u;
};

template <typename Key>
Segment FindSegment(const std::vector<Key>& keys, float time, bool loop) {
    const int n = static_cast<int>(keys.size());
    const int i = KeysUpTo(keys, time);
    Segment s{};
    for (int j = 0; j < 4; ++j) s.k[j] = loop ? Wrap(i - 2 + j, n) : Clamp(i - 2 + j, n);
    s.single = s.k[1] == s.k[2];
    if (!s.single) s.u = (time - keys[s.k[1]].Time()) / (keys[s.k[2]].Time() - keys[s.k[1]].Time());
    return s;
}

template <typename Value>
Value CatmullRom(const Value& a, const Value& b, const Value& c, const Value& d, float u) {
    Value v;
    v.Bezier(a, b, c, d, u);
    return v;
}

}  // namespace

void DAS_ObjectAnimator::AddPositionKey(const DAS_ObjectPositionKeyframe& key) { InsertSorted(mPositionKeys, key); }

void DAS_ObjectAnimator::AddRotationKey(const DAS_ObjectRotationKeyframe& key) { InsertSorted(mRotationKeys, key); }

void DAS_ObjectAnimator::ReplaceFirstPositionKey(const DAS_ObjectPositionKeyframe& key) {
    if (mPositionKeys.empty()) mPositionKeys.push_back(key);
    else mPositionKeys.front() = key;
}

void DAS_ObjectAnimator::ReplaceFirstRotationKey(const DAS_ObjectRotationKeyframe& key) {
    if (mRotationKeys.empty()) mRotationKeys.push_back(key);
    else mRotationKeys.front() = key;
}

BS::Vector4 DAS_ObjectAnimator::Position(float time, bool loop) const {
    if (mPositionKeys.empty()) return {0.0f, 0.0f, 0.0f, 1.0f};
    const TrackTime at = Normalise(time, loop);
    BS::Vector3 p;
    if (at.atLastKey) {
        p = mPositionKeys.back().Position();
    } else {
        const Segment s = FindSegment(mPositionKeys, at.time, loop);
        const auto& k = mPositionKeys;
        p = s.single ? k[s.k[2]].Position()
                     : CatmullRom(k[s.k[0]].Position(), k[s.k[1]].Position(), k[s.k[2]].Position(), k[s.k[3]].Position(), s.u);
    }
    return {p.x, p.y, p.z, 1.0f};
}

BS::Quaternion DAS_ObjectAnimator::Rotation(float time, bool loop) const {
    if (mRotationKeys.empty()) return BS::Quaternion();
    const TrackTime at = Normalise(time, loop);
    if (at.atLastKey) return mRotationKeys.back().GetQuaternion();
    const int n = static_cast<int>(mRotationKeys.size());
    const int i = KeysUpTo(mRotationKeys, at.time);
    int k1 = i - 1, k2 = i;
    if (loop) {
        k1 = Wrap(k1, n);
        k2 = Wrap(k2, n);
    } else {
        k1 = k1 < 0 ? 0 : k1;
        k2 = k2 > n - 1 ? n - 1 : k2;
    }
    if (k1 == k2) return mRotationKeys[k1].GetQuaternion();
    const float u = (at.time - mRotationKeys[k1].Time()) / (mRotationKeys[k2].Time() - mRotationKeys[k1].Time());
    BS::Quaternion q;
    q.Slerp(mRotationKeys[k1].GetQuaternion(), mRotationKeys[k2].GetQuaternion(), u);
    return q;
}

void DAS_Vertex::Animate(float time, bool loop) {
    if (mKeys.empty()) throw BS::Error(kNoKeys);
    const TrackTime at = Normalise(time, loop);
    if (at.atLastKey) {
        mPosition = mKeys.back().position;
    } else {
        const Segment s = FindSegment(mKeys, at.time, loop);
        mPosition = s.single ? mKeys[s.k[2]].position
                             : CatmullRom(mKeys[s.k[0]].position, mKeys[s.k[1]].position, mKeys[s.k[2]].position,
                                          mKeys[s.k[3]].position, s.u);
    }
    if (mTarget) {
        mTarget[0] = mPosition.x;
        mTarget[1] = mPosition.y;
        mTarget[2] = mPosition.z;
    }
}

void DAS_VertexAnimator::AddKey(const DAS_VertexKeyframe& key, unsigned vertexIndex) {
    AddElementKey(mVertices, vertexIndex, key, mAnimated);
}

void DAS_VertexAnimator::Animate(float time, bool loop) {
    if (!mAnimated) return;
    for (DAS_Vertex& vertex : mVertices) vertex.Animate(time, loop);
}

void DAS_Face::Animate(float time, bool loop) {
    if (mKeys.empty()) throw BS::Error(kNoKeys);
    const TrackTime at = Normalise(time, loop);
    if (at.atLastKey) {
        for (int c = 0; c < 3; ++c) {
            mTextureCoordinates[c] = mKeys.back().textureCoordinates[c];
            mNormals[c] = mKeys.back().normals[c];
        }
        return;
    }
    const Segment s = FindSegment(mKeys, at.time, loop);
    const DAS_FaceKeyframe* k[4] = {&mKeys[s.k[0]], &mKeys[s.k[1]], &mKeys[s.k[2]], &mKeys[s.k[3]]};
    for (int c = 0; c < 3; ++c) {
        if (s.single) {
            mTextureCoordinates[c] = k[2]->textureCoordinates[c];
            mNormals[c] = k[2]->normals[c];
        } else {
            mTextureCoordinates[c] = CatmullRom(k[0]->textureCoordinates[c], k[1]->textureCoordinates[c],
                                                k[2]->textureCoordinates[c], k[3]->textureCoordinates[c], s.u);
            mNormals[c] = CatmullRom(k[0]->normals[c], k[1]->normals[c], k[2]->normals[c], k[3]->normals[c], s.u);
        }
    }
}

void DAS_FaceAnimator::AddKey(const DAS_FaceKeyframe& key, unsigned faceIndex) {
    AddElementKey(mFaces, faceIndex, key, mAnimated);
}

void DAS_FaceAnimator::Animate(float time, bool loop) {
    if (!mAnimated) return;
    for (DAS_Face& face : mFaces) face.Animate(time, loop);
}
