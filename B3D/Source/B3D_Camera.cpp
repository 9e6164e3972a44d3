#include "B3D_Camera.h"

#include "B3D_World.h"

void B3D_Camera::PrepareRender(B3D_World& world) {
    mView = mTransform;
    mView.Inverse();
    world.PrepareRender(*this);
}

void B3D_Camera::Render(B3D_World& world) { world.Render(*this); }

void B3D_Camera::RenderShadows(B3D_World& world) { world.RenderShadows(*this); }

BS::Matrix44 B3D_Camera::GetShadowMapMatrix(int) const { return mProjection * mShadowMapView; }
