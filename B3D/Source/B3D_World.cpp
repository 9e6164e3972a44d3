#include "B3D_World.h"

#include <GLES2/gl2.h>

#include <cstdio>

#include "B3D_Light.h"
#include "B3D_Object.h"
#include "BS/Export/BS_Error.h"

namespace {

void ThrowOnGLError(const char* what) {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    printf("OpenGL error while %s: 0x%8X\n", what, error);
    throw BS::Error(std::string("OpenGL error while ") + what);
}

}  // namespace

B3D_World::~B3D_World() {
    // An object may be listed both as a top-level object and as a light.
    for (B3D_Object* object : mObjects) delete object;
    for (B3D_Light* light : mLights) {
        bool listed = false;
        for (B3D_Object* object : mObjects) listed = listed || object == light;
        if (!listed) delete light;
    }
}

void B3D_World::LoadForContext() {
    for (B3D_Object* object : mObjects) object->LoadForContext();
}

template <typename Draw>
void B3D_World::DrawObjects(B3D_Camera& camera, Draw draw) {
    ThrowOnGLError("camera->Context()->Activate");
    for (B3D_Object* object : mObjects) {
        draw(*object, camera);
        ThrowOnGLError("object->Render");
    }
}

void B3D_World::Render(B3D_Camera& camera) {
    DrawObjects(camera, [](B3D_Object& object, B3D_Camera& c) { object.Render(c, BS::Matrix44()); });
}

void B3D_World::RenderShadows(B3D_Camera& camera) {
    DrawObjects(camera, [](B3D_Object& object, B3D_Camera& c) { object.RenderShadows(c, BS::Matrix44()); });
}
