// The scene graph's objects: a transform that the animation system writes
// each frame, children drawn under it, and the flags the importer sets.
#pragma once

#include <string>
#include <vector>

#include "BS/Export/BS_Math.h"

class B3D_Camera;

class B3D_Object {
public:
    B3D_Object() = default;
    virtual ~B3D_Object() = default;
    B3D_Object(const B3D_Object&) = delete;
    B3D_Object& operator=(const B3D_Object&) = delete;

    // Children are drawn with transform x m, when this object is visible and not culled.
    virtual void Render(B3D_Camera& camera, BS::Matrix44 m);
    virtual void RenderShadows(B3D_Camera& camera, BS::Matrix44 m);
    // Tests nothing itself; asks the children.
    virtual void CullTestSelf(B3D_Camera& camera);
    virtual void LoadForContext();
    virtual bool IsMesh() const { return false; }

    void Show() { mVisible = true; }
    void Hide() { mVisible = false; }
    bool Visible() const { return mVisible; }
    void SetCulled(bool culled) { mCulled = culled; }
    void SetReceiveShadow(bool receive) { mReceiveShadow = receive; }
    void SetThrowShadow(bool cast) { mThrowShadow = cast; }
    void SetShadowScalingMode(unsigned mode) { mShadowScalingMode = mode; }
    std::string Name() const { return mName; }
    void SetName(const std::string& name) { mName = name; }
    // Children are not owned.
    std::vector<B3D_Object*>& Children() { return mChildren; }
    void AddObject(B3D_Object* child) { mChildren.push_back(child); }

    BS::Matrix44 mTransform;
    // The inverse of the transform the scene file gave the object; skinning reads it.
    BS::Matrix44 mInverseBaseTransform;

protected:
    bool Drawn() const { return mVisible && !mCulled; }

    bool mReceiveShadow = false;
    std::vector<B3D_Object*> mChildren;
    bool mThrowShadow = true;
    unsigned mShadowScalingMode = 0;
    bool mVisible = true;
    bool mCulled = false;
    std::string mName;
};
