#include "B3D_Object.h"

void B3D_Object::Render(B3D_Camera& camera, BS::Matrix44 m) {
    if (!Drawn()) return;
    const BS::Matrix44 world = mTransform * m;
    for (B3D_Object* child : mChildren) child->Render(camera, world);
}

void B3D_Object::RenderShadows(B3D_Camera& camera, BS::Matrix44 m) {
    if (!Drawn()) return;
    const BS::Matrix44 world = mTransform * m;
    for (B3D_Object* child : mChildren) child->RenderShadows(camera, world);
}

void B3D_Object::CullTestSelf(B3D_Camera& camera) {
    for (B3D_Object* child : mChildren) child->CullTestSelf(camera);
}

void B3D_Object::LoadForContext() {
    for (B3D_Object* child : mChildren) child->LoadForContext();
}
