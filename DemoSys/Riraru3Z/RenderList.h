// The renderer's unit of GPU work: vertices of one primitive type, shader and
// material, uploaded once into a buffer and drawn with one call. The first
// draw freezes the vertex count; vertices may still be edited in place and
// re-uploaded after Flush.
#pragma once

#include <GLES2/gl2.h>

#include <cstdint>

#include "Array.h"
#include "BS/Export/BS_Math.h"

class Shader;
class SimpleMaterial;

// Normals arrive in the shader as -127..127 and texture coordinates as 0..255
// with a fourth component of 1: the attributes are not normalised.
struct RenderListVertex {
    float x, y, z;
    int8_t nx, ny, nz, nw;
    uint8_t u, v, s, t;
};
static_assert(sizeof(RenderListVertex) == 20, "the vertex buffer's layout");

// A coordinate's byte in the vertex: truncated toward zero, low eight bits
// kept (so 1.5 x 255 = 382 gives 126), and 0 for values no int can hold.
uint8_t PackedByte(float scaled);
// A normal component x 127 as a signed byte.
inline int8_t PackedNormal(float component) { return static_cast<int8_t>(PackedByte(component * 127.0f)); }

class RenderList {
public:
    RenderList();
    RenderList(const RenderList&) = delete;
    RenderList& operator=(const RenderList&) = delete;

    void SetShaderProgram(Shader* shader) { mShader = shader; }
    void SetMaterial(SimpleMaterial* material) { mMaterial = material; }
    SimpleMaterial* GetMaterial() const { return mMaterial; }
    Shader* GetShaderProgram() const { return mShader; }
    void SetPrimitiveType(GLenum type) { mPrimitiveType = type; }
    GLenum GetPrimitiveType() const { return mPrimitiveType; }

    // Fatal once the list has been drawn: the buffer's size is fixed then.
    void AddVertex(const RenderListVertex& vertex);
    Array<RenderListVertex>& GetVertices() { return mVertices; }
    const Array<RenderListVertex>& GetVertices() const { return mVertices; }
    // The next draw uploads the (edited) vertices again.
    void Flush() { mNeedsUpload = true; }
    bool IsDrawn() const { return mDrawn; }

    // Widens the corners (minimum x, maximum y, minimum z) and
    // (maximum x, minimum y, maximum z) over the list's positions.
    void UpdateExtremes(float& minX, float& maxY, float& minZ, float& maxX, float& minY, float& maxZ) const;

    void Render(const BS::Matrix44& mvp, const BS::Matrix44& modelView, const BS::Matrix44& shadow);
    void RenderShadowMap(const BS::Matrix44& mvp, const BS::Matrix44& unused);

    GLuint GetBuffer() const { return mBuffer; }

private:
    void BindVertexData();
    void UnbindVertexData();
    void SetAttributePointers();

    GLuint mVertexArray = 0;
    GLuint mBuffer = 0;
    GLenum mPrimitiveType = GL_TRIANGLES;
    bool mDrawn = false;
    Shader* mShader = nullptr;
    Shader* mShadowShader = nullptr;
    SimpleMaterial* mMaterial = nullptr;
    bool mNeedsUpload = true;
    Array<RenderListVertex> mVertices{64, 32};
};
