#include "RenderList.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "DemoSys/Bundle.h"
#include "Shader.h"
#include "SimpleMaterial.h"
#include "VertexArrays.h"

uint8_t PackedByte(float scaled) {
    if (!(std::fabs(scaled) < 1e9f)) return 0;
    return static_cast<uint8_t>(static_cast<int>(scaled) & 0xff);
}

RenderList::RenderList() { mShadowShader = Shader::LoadShader(Bundle::Path() + "/FxData/Common/ShadowMap"); }

void RenderList::AddVertex(const RenderListVertex& vertex) {
    if (mDrawn) {
        printf("FATAL ERROR: Cannot modify render list AFTER draw.\n");
        // A programming error in scene code: never report it as success.
        exit(1);
    }
    RenderListVertex record = vertex;
    record.s = 0;
    record.t = 1;
    mVertices.Add(record);
}

void RenderList::UpdateExtremes(float& minX, float& maxY, float& minZ, float& maxX, float& minY,
                                float& maxZ) const {
    for (int i = 0; i < mVertices.Count(); ++i) {
        const RenderListVertex& v = mVertices[i];
        if (v.x < minX) minX = v.x;
        if (v.x > maxX) maxX = v.x;
        if (v.y < minY) minY = v.y;
        if (v.y > maxY) maxY = v.y;
        if (v.z < minZ) minZ = v.z;
        if (v.z > maxZ) maxZ = v.z;
    }
}

void RenderList::SetAttributePointers() {
    const GLsizei stride = sizeof(RenderListVertex);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(RenderListVertex, x)));
    glVertexAttribPointer(1, 4, GL_BYTE, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(RenderListVertex, nx)));
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(RenderListVertex, u)));
}

void RenderList::BindVertexData() {
    if (mBuffer == 0) {
        mVertexArray = VertexArrays::Generate();
        glGenBuffers(1, &mBuffer);
    }
    VertexArrays::Bind(mVertexArray);
    if (mNeedsUpload) {
        glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mVertices.Count()) * sizeof(RenderListVertex),
                     mVertices.Records(), GL_STATIC_DRAW);
        SetAttributePointers();
        mNeedsUpload = false;
    } else if (!VertexArrays::Available()) {
        glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
        SetAttributePointers();
    }
}

void RenderList::UnbindVertexData() {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    VertexArrays::Bind(0);
}

void RenderList::Render(const BS::Matrix44& mvp, const BS::Matrix44& modelView, const BS::Matrix44& shadow) {
    BindVertexData();
    if (mShader) mShader->BindShader();
    if (mMaterial) mMaterial->BindMaterial();
    if (mShader) {
        if (mShader->GetUniformMvpMatrix() >= 0) glUniformMatrix4fv(mShader->GetUniformMvpMatrix(), 1, GL_FALSE, mvp.m);
        if (mShader->GetUniformMvMatrix() >= 0)
            glUniformMatrix4fv(mShader->GetUniformMvMatrix(), 1, GL_FALSE, modelView.m);
        if (mShader->GetUniformShadowMatrix() >= 0)
            glUniformMatrix4fv(mShader->GetUniformShadowMatrix(), 1, GL_FALSE, shadow.m);
        if (mShader->GetUniformDiffuseMap() >= 0) glUniform1i(mShader->GetUniformDiffuseMap(), 0);
        if (mShader->GetUniformShadowMap() >= 0) glUniform1i(mShader->GetUniformShadowMap(), 1);
    }
    glDrawArrays(mPrimitiveType, 0, mVertices.Count());
    UnbindVertexData();
    mDrawn = true;
}

void RenderList::RenderShadowMap(const BS::Matrix44& mvp, const BS::Matrix44&) {
    BindVertexData();
    mShadowShader->BindShader();
    if (mMaterial) mMaterial->BindMaterial();
    glUniformMatrix4fv(mShadowShader->GetUniformMvpMatrix(), 1, GL_FALSE, mvp.m);
    glUniform1i(mShadowShader->GetUniformDiffuseMap(), 0);
    glDrawArrays(mPrimitiveType, 0, mVertices.Count());
    UnbindVertexData();
}
