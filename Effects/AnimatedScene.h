// What the scenes that play a scene file share: the world and its animation
// scene loaded from FxData/<folder>/<file> under the application directory,
// shaders picked by material name, and drawing through a camera.
#pragma once

#include <functional>
#include <string>

class B3D_Camera;
class B3D_World;
class DAS;
class DAS_CameraNode;
class Shader;

class AnimatedScene {
public:
    AnimatedScene();
    ~AnimatedScene();
    AnimatedScene(const AnimatedScene&) = delete;
    AnimatedScene& operator=(const AnimatedScene&) = delete;

    // Imports and prepares; on a BS::Error prints "GOT EXCEPTION: %s\n" and answers false.
    bool Load(const char* folder, const char* file);
    // Every mesh's model gets the shader chosen for its material's name;
    // with printNames each name is printed as " --> %s\n" first.
    void AssignShaders(const std::function<Shader*(const std::string& material)>& choose, bool printNames);
    void LoadForContext();
    // Load, then each mesh gets the folder's "EnvShader" where first(its
    // material's name) holds and its "EnvShader2" elsewhere, each name
    // printed, and the meshes are made ready to draw; false as Load.
    bool LoadWithEnvironmentShaders(const char* folder, const char* file, bool (*first)(const std::string& material));

    void Animate(float time);
    // The camera active at time, else the first; null when there is none.
    DAS_CameraNode* CameraAt(float time) const;
    // The camera of the camera node with that name; null when there is no
    // such node or it holds no camera.
    B3D_Camera* CameraNamed(const char* node) const;
    // Prepares the camera and draws the world; a GL error is reported, not raised.
    void Render(B3D_Camera& camera);

    DAS& Scene() { return *mScene; }
    float LastTime() const;
    // An animation time that ran past the last frame, taken back by the scene's length.
    float Looped(float time) const;

private:
    B3D_World* mWorld;
    DAS* mScene;
};
