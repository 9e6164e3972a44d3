#include "B3D_Mesh.h"

#include "B3D_Camera.h"
#include "BS/Export/BS_Error.h"
#include "DemoSys/Riraru3Z/RenderList.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;

BS::Matrix44 Projection() {
    BS::Matrix44 p;
    p.SetFrustum(-0.6666667f, 0.6666667f, 1.0f, -1.0f, 0.6666667f, 5000.0f);
    return p;
}

// The landscape scene turned onto the portrait screen.
BS::Matrix44 QuarterTurn() {
    BS::Matrix44 r;
    r.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kQuarterTurn);
    return r;
}

}  // namespace

B3D_Mesh::B3D_Mesh() : mRenderList(std::make_unique<RenderList>()) {
    mModel.GetRenderLists().push_back(mRenderList.get());
}

B3D_Mesh::~B3D_Mesh() = default;

uint16_t B3D_Mesh::CreateVertex(float x, float y, float z) {
    const unsigned number = VertexNum();
    if (number > 0xffff) throw BS::Error("A mesh holds at most 65536 vertices");
    mPositions.insert(mPositions.end(), {x, y, z});
    mNormals.insert(mNormals.end(), {0.0f, 0.0f, 1.0f});
    mTextureCoordinates.insert(mTextureCoordinates.end(), {0.0f, 0.0f});
    return static_cast<uint16_t>(number);
}

void B3D_Mesh::CheckVertex(unsigned index) const {
    if (index >= VertexNum()) throw BS::Error("Vertex number " + std::to_string(index) + " is past the mesh's last vertex");
}

float* B3D_Mesh::Vertex(unsigned index) {
    CheckVertex(index);
    return &mPositions[3 * index];
}

float* B3D_Mesh::TextureVertex(unsigned index) {
    CheckVertex(index);
    return &mTextureCoordinates[2 * index];
}

const float* B3D_Mesh::Normal(unsigned index) const {
    CheckVertex(index);
    return &mNormals[3 * index];
}

void B3D_Mesh::CreateFace(unsigned a, unsigned b, unsigned c) {
    CheckVertex(a);
    CheckVertex(b);
    CheckVertex(c);
    auto position = [this](unsigned i) { return BS::Vector3(mPositions[3 * i], mPositions[3 * i + 1], mPositions[3 * i + 2]); };
    BS::Vector3 n = (position(a) - position(b)) ^ (position(c) - position(b));
    n.Normalize();
    for (unsigned corner : {a, b, c}) {
        mNormals[3 * corner] = n.x;
        mNormals[3 * corner + 1] = n.y;
        mNormals[3 * corner + 2] = n.z;
        mFaces.push_back(static_cast<uint16_t>(corner));
    }
}

void B3D_Mesh::SetMaterial(SimpleMaterial* material) {
    mMaterial = material;
    mModel.SetMaterial(material);
}

void B3D_Mesh::LoadForContext() {
    for (uint16_t corner : mFaces) {
        RenderListVertex v{};
        v.x = mPositions[3 * corner];
        v.y = mPositions[3 * corner + 1];
        v.z = mPositions[3 * corner + 2];
        v.nx = PackedNormal(mNormals[3 * corner]);
        v.ny = PackedNormal(mNormals[3 * corner + 1]);
        v.nz = PackedNormal(mNormals[3 * corner + 2]);
        v.u = PackedByte(mTextureCoordinates[2 * corner] * 255.0f);
        v.v = PackedByte(mTextureCoordinates[2 * corner + 1] * 255.0f);
        mRenderList->AddVertex(v);
    }
    mLoaded = true;
    mVerticesChanged = false;
    B3D_Object::LoadForContext();
}

void B3D_Mesh::CopyPositionsToList() {
    Array<RenderListVertex>& vertices = mRenderList->GetVertices();
    for (int i = 0; i < vertices.Count(); ++i) {
        const float* p = &mPositions[3 * mFaces[static_cast<size_t>(i)]];
        vertices[i].x = p[0];
        vertices[i].y = p[1];
        vertices[i].z = p[2];
    }
    mRenderList->Flush();
    mVerticesChanged = false;
}

void B3D_Mesh::PlaceModel(const B3D_Camera& camera) {
    static const BS::Matrix44 kQuarter = QuarterTurn();
    mModel.mTransform = kQuarter * camera.View() * mTransform;
}

void B3D_Mesh::Render(B3D_Camera& camera, BS::Matrix44) {
    if (!Drawn()) return;  // hidden skeleton bones among them
    static const BS::Matrix44 kProjection = Projection();
    if (mLoaded && mVerticesChanged) CopyPositionsToList();
    const BS::Matrix44 shadow = camera.GetShadowMapMatrix(0) * camera.View() * mTransform;
    PlaceModel(camera);
    mModel.Render(kProjection, shadow);
}

void B3D_Mesh::RenderShadows(B3D_Camera& camera, BS::Matrix44) {
    if (!Drawn()) return;
    static const BS::Matrix44 kProjection = Projection();
    PlaceModel(camera);
    mModel.RenderShadowMap(kProjection, mTransform);
}
