#include "AnimatedScene.h"

#include <cstdio>
#include <memory>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"

AnimatedScene::AnimatedScene() : mWorld(new B3D_World()), mScene(new DAS(mWorld)) {}

// The nodes go before the world whose objects they move.
AnimatedScene::~AnimatedScene() {
    delete mScene;
    delete mWorld;
}

bool AnimatedScene::Load(const char* folder, const char* file) {
    try {
        BS::Application* application = BS::Application::GetApplication();
        if (!application) throw BS::Error("No application to find the data directory from");
        BS::Directory directory = application->GetApplicationDirectory().OpenDirectory("FxData").OpenDirectory(folder);
        std::unique_ptr<BS::File> input(directory.OpenFile(file, BS::File::kRead));
        mScene->InsertFromMAS(input.get(), directory, nullptr);
        mScene->Prepare();
        return true;
    } catch (const BS::Error& e) {
        printf("GOT EXCEPTION: %s\n", e.mMessage.c_str());
        return false;
    }
}

void AnimatedScene::AssignShaders(const std::function<Shader*(const std::string&)>& choose, bool printNames) {
    for (B3D_Object* object : mWorld->Objects()) {
        if (!object->IsMesh()) continue;
        auto* mesh = static_cast<B3D_Mesh*>(object);
        const std::string name = mesh->Material() ? mesh->Material()->mName : std::string();
        if (printNames) printf(" --> %s\n", name.c_str());
        mesh->mModel.SetShaderProgram(choose(name));
    }
}

void AnimatedScene::LoadForContext() { mWorld->LoadForContext(); }

bool AnimatedScene::LoadWithEnvironmentShaders(const char* folder, const char* file,
                                               bool (*first)(const std::string& material)) {
    if (!Load(folder, file)) return false;
    const std::string shaders = Bundle::Path() + "/FxData/" + folder + "/EnvShader";
    Shader* env = Shader::LoadShader(shaders);
    Shader* env2 = Shader::LoadShader(shaders + "2");
    AssignShaders([env, env2, first](const std::string& name) { return first(name) ? env : env2; }, true);
    LoadForContext();
    return true;
}

void AnimatedScene::Animate(float time) { mScene->Animate(time); }

DAS_CameraNode* AnimatedScene::CameraAt(float time) const {
    DAS_CameraNode* camera = mScene->ActiveCamera(time);
    return camera ? camera : mScene->FirstCamera();
}

B3D_Camera* AnimatedScene::CameraNamed(const char* node) const {
    auto* named = dynamic_cast<DAS_CameraNode*>(mScene->NodeForName(node));
    return named ? named->Camera() : nullptr;
}

void AnimatedScene::Render(B3D_Camera& camera) {
    camera.PrepareRender(*mWorld);
    try {
        camera.Render(*mWorld);
    } catch (const BS::Error& e) {
        DemoLog("scene not drawn: %s", e.mMessage.c_str());
    }
}

float AnimatedScene::LastTime() const { return mScene->LastTime(); }

float AnimatedScene::Looped(float time) const { return time > LastTime() ? time - LastTime() : time; }
