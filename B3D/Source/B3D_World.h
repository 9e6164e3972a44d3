// A flat list of top-level objects and the scene's lights; owns them all.
#pragma once

#include <memory>
#include <vector>

class B3D_Camera;
class B3D_Light;
class B3D_Object;

class B3D_World {
public:
    B3D_World() = default;
    ~B3D_World();
    B3D_World(const B3D_World&) = delete;
    B3D_World& operator=(const B3D_World&) = delete;

    // The world takes ownership.
    void AddObject(B3D_Object* object) { mObjects.push_back(object); }
    void AddLight(B3D_Light* light) { mLights.push_back(light); }
    const std::vector<B3D_Object*>& Objects() const { return mObjects; }
    const std::vector<B3D_Light*>& Lights() const { return mLights; }

    void LoadForContext();
    void PrepareRender(B3D_Camera&) {}
    // Draws every object from the camera; a GL error before or after an
    // object prints a line and raises BS::Error, and the rest is not drawn.
    void Render(B3D_Camera& camera);
    void RenderShadows(B3D_Camera& camera);

private:
    template <typename Draw>
    void DrawObjects(B3D_Camera& camera, Draw draw);

    std::vector<B3D_Object*> mObjects;
    std::vector<B3D_Light*> mLights;
};
