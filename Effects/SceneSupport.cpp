#include "SceneSupport.h"

#include "BS/Export/BS_Math.h"
#include "DemoSys/Beats.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/ObjReader.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"

std::string FxPath(const char* relative) { return Bundle::Path() + relative; }

void DrawFullScreen(GLuint texture) {
    static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    DemoSys::DrawRect(0.0f, 0.0f, 480.0f, 320.0f, kHalfPi, kWhite);
}

void UseAttributeArrays(int count) {
    for (int i = 0; i < 4; ++i) {
        if (i < count) glEnableVertexAttribArray(static_cast<GLuint>(i));
        else glDisableVertexAttribArray(static_cast<GLuint>(i));
    }
}

SimpleModel* LoadSceneModel(const char* folder, const char* fileName, unsigned primitive) {
    return GetObjectReader()->LoadObj(Bundle::Path(), FxPath(folder), fileName, 1.0f, primitive);
}

void RenderPlaced(SimpleModel* model, const BS::Matrix44& view, const BS::Matrix44& local,
                  const BS::Matrix44& projection, const BS::Matrix44& second) {
    if (!model) return;
    model->mTransform = view * local;
    model->Render(projection, second);
}

int SnareCount(float t) {
    if (t <= snare[0]) return 0;
    for (int i = 1; i < kSnareCount; ++i)
        if (!(snare[i] < t)) return i;
    return kSnareCount;
}
