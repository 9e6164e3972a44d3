#include "SimpleModel.h"

#include <algorithm>
#include <memory>

#include "RenderList.h"

namespace {

// Lists are shared between model instances and outlive every one of them:
// they belong to the process.
std::vector<std::unique_ptr<RenderList>>& RenderListStore() {
    static std::vector<std::unique_ptr<RenderList>> lStore;
    return lStore;
}

}  // namespace

RenderList* SimpleModel::NewRenderList() {
    RenderListStore().push_back(std::make_unique<RenderList>());
    mRenderLists.push_back(RenderListStore().back().get());
    return mRenderLists.back();
}

void SimpleModel::SetShaderProgram(Shader* shader) {
    for (RenderList* list : mRenderLists) list->SetShaderProgram(shader);
}

void SimpleModel::SetMaterial(SimpleMaterial* material) {
    for (RenderList* list : mRenderLists) list->SetMaterial(material);
}

void SimpleModel::SetPrimitiveType(GLenum type) {
    for (RenderList* list : mRenderLists) list->SetPrimitiveType(type);
}

void SimpleModel::UpdateExtremes() {
    float& maxY = mExtents[0];
    float& minY = mExtents[1];
    float& minX = mExtents[2];
    float& maxX = mExtents[3];
    float& maxZ = mExtents[4];
    float& minZ = mExtents[5];
    minX = minY = minZ = 100000.0f;
    maxX = maxY = maxZ = -100000.0f;
    for (const RenderList* list : mRenderLists) list->UpdateExtremes(minX, maxY, minZ, maxX, minY, maxZ);
}

void SimpleModel::Render(const BS::Matrix44& a, const BS::Matrix44& b) {
    if (!mVisible) return;
    const BS::Matrix44 mvp = a * mTransform;
    for (RenderList* list : mRenderLists) list->Render(mvp, mTransform, b);
}

void SimpleModel::RenderShadowMap(const BS::Matrix44& a, const BS::Matrix44& b) {
    if (!mVisible) return;
    const BS::Matrix44 mvp = a * mTransform;
    for (RenderList* list : mRenderLists) list->RenderShadowMap(mvp, b);
}

Rect SimpleModel::GetBoundingBox() const {
    const float size = std::max({mExtents[3] - mExtents[2], mExtents[0] - mExtents[1], mExtents[4] - mExtents[5]});
    const BS::Vector3 origin = mTransform.TransformPoint(BS::Vector3(0.0f, 0.0f, 0.0f));
    return {origin.x - size / 2.0f, origin.y - size / 2.0f, size, size};
}
