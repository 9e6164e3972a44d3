// Meshes of the scene graph and the skinning that moves their
// vertices, on headless GL (a mesh owns a render list).
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "CaughtError.h"
#include "GLTestSupport.h"
#include "TempTree.h"

namespace {

class SkinnedMeshTest : public GLTest {
protected:
    // A mesh node over a new mesh of `count` vertices along x, each with its static key.
    DAS_MeshNode* MeshNode(int count) {
        auto* mesh = new B3D_Mesh();
        DAS_MeshNode* node = mScene.InsertMesh(mesh, nullptr);
        for (int i = 0; i < count; ++i) {
            mesh->CreateVertex(static_cast<float>(i), 0.0f, 0.0f);
            node->mVertexAnimator.AddKey(DAS_VertexKeyframe(BS::Vector3(static_cast<float>(i), 0, 0), kDefaultKeyTime),
                                         static_cast<unsigned>(i));
        }
        return node;
    }
    DAS_Node* Bone(const std::string& name, const BS::Matrix44& transform) {
        auto* node = new DAS_Node();
        node->mName = name;
        node->mObject = new B3D_Object();
        mScene.InsertObject(node->mObject);
        const BS::Vector4 p = transform.GetColumn(3);
        node->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(p.x, p.y, p.z), 0.0f));
        node->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(transform, 0.0f));
        return mScene.InsertNode(node, nullptr);
    }
    static DAS_SkinBone* SkinBone(const std::string& name) {
        auto* bone = new DAS_SkinBone();
        bone->name = name;
        return bone;
    }

    B3D_World mWorld;
    DAS mScene{&mWorld};
};

TEST_F(SkinnedMeshTest, AMeshIsPlacedByTheQuarterTurnTheViewAndItsTransform) {
    TempTree tree;
    tree.Write("probe.vsh",
               "attribute vec4 pos;\nuniform mat4 modelViewProjectionMatrix;\nuniform mat4 modelViewMatrix;\n"
               "uniform mat4 shadowMatrix;\nvarying vec4 s;\nvoid main() { s = shadowMatrix * pos;"
               " gl_Position = modelViewProjectionMatrix * modelViewMatrix * pos; }\n");
    tree.Write("probe.fsh", "precision mediump float;\nvarying vec4 s;\nvoid main() { gl_FragColor = s; }\n");
    Shader* shader = Shader::LoadShader(tree.Path() + "/probe");
    B3D_Camera camera;
    // A rigid camera: its view is R^T with the translation -R^T t, written out here.
    BS::Matrix44 turn;
    turn.SetRotationY(0.7f);
    const BS::Vector3 t(3, -2, 5);
    camera.mTransform = turn;
    camera.mTransform.SetPosition(t);
    BS::Matrix44 view = turn;
    view.Transpose();
    view.SetPosition(view.TransformVector(t) * -1.0f);
    camera.mProjection.SetFrustum(-1, 1, 1, -1, 1, 100);
    camera.mShadowMapView.SetRotationX(0.3f);
    camera.mShadowMapView.SetPosition(BS::Vector3(0, 0, -40));
    camera.PrepareRender(mWorld);
    auto* mesh = new B3D_Mesh();
    mWorld.AddObject(mesh);
    mesh->CreateVertex(0, 0, -5);
    mesh->CreateVertex(1, 0, -5);
    mesh->CreateVertex(0, 1, -5);
    mesh->CreateFace(0, 1, 2);
    mesh->mTransform.SetRotationZ(-0.4f);
    mesh->mTransform.SetPosition(BS::Vector3(-1, 6, 2));
    mesh->mModel.SetShaderProgram(shader);
    mWorld.LoadForContext();
    DemoSys::ResetRenderTarget();
    camera.Render(mWorld);

    BS::Matrix44 quarter;
    quarter.SetRotationZ(-1.5707964f);  // Rotate turns by minus the angle
    const BS::Matrix44 placed = quarter * view * mesh->mTransform;
    EXPECT_TRUE(mesh->mModel.mTransform == placed);
    const BS::Matrix44 shadow = camera.mProjection * camera.mShadowMapView * view * mesh->mTransform;
    float got[16];
    glGetUniformfv(shader->GetProgram(), shader->GetUniformShadowMatrix(), got);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], shadow.m[i], 1e-4f) << i;
    glGetUniformfv(shader->GetProgram(), shader->GetUniformMvMatrix(), got);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], placed.m[i], 1e-4f) << i;
}

namespace {
// An object whose drawing leaves a GL error behind.
struct FailingObject : B3D_Object {
    void Render(B3D_Camera&, BS::Matrix44) override { glEnable(0x7FFF); }  // not a capability: GL_INVALID_ENUM
};
}  // namespace

// A GL error before the world or in the middle of it stops the drawing there:
// the objects after it are not drawn.
TEST_F(SkinnedMeshTest, AGLErrorIsRaisedAndNothingAfterItIsDrawn) {
    for (const bool before : {true, false}) {
        B3D_World world;
        B3D_Camera camera;
        if (!before) world.AddObject(new FailingObject());
        auto* mesh = new B3D_Mesh();
        world.AddObject(mesh);
        if (before) glEnable(0x7FFF);
        testing::internal::CaptureStdout();
        EXPECT_EQ(Failure([&] { camera.Render(world); }), "BS::Error");
        testing::internal::GetCapturedStdout();
        EXPECT_FALSE(mesh->mModel.GetRenderLists()[0]->IsDrawn());
    }
}

TEST_F(SkinnedMeshTest, PrepareRefusesAMeshWhoseTracksDoNotMatch) {
    MeshNode(8)->mVertexAnimator.mVertices.pop_back();
    EXPECT_EQ(Failure([&] { mScene.Prepare(); }), "BS::Error");
}

TEST_F(SkinnedMeshTest, ABoneMissingFromTheSceneIsRefused) {
    MeshNode(1)->AddBone(SkinBone("Bone_Nowhere"));
    mScene.SetLinkByName(true);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Failure([&] { mScene.Prepare(); }), "BS::Error");
    testing::internal::GetCapturedStdout();
}

// Column-major 4x4 products in double precision, for the skinning rule.
using Matrix = std::array<double, 16>;
Matrix Of(const BS::Matrix44& m) {
    Matrix r;
    for (int i = 0; i < 16; ++i) r[i] = m.m[i];
    return r;
}
Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            for (int k = 0; k < 4; ++k) r[row + 4 * col] += a[row + 4 * k] * b[k + 4 * col];
    return r;
}
BS::Matrix44 Affine(const float rows[3][4]) {
    BS::Matrix44 m;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) m.m[row + 4 * col] = rows[row][col];
    return m;
}

// Weights that do not sum to one are reported and applied as they are.
TEST_F(SkinnedMeshTest, BonesDeformByBindBoneInitScaleAndBaseTransforms) {
    mScene.SetLastTime(10.0f);
    DAS_MeshNode* node = MeshNode(4);
    node->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(1, 2, 3), 0.0f));
    node->mScaleMatrix.Scale(BS::Vector3(2.0f, 0.5f, 4.0f));
    const float base[3][4] = {{0, -1, 0, 0.5f}, {1, 0, 0, -2}, {0, 0, 1, 1.5f}};
    node->Mesh()->mInverseBaseTransform = Affine(base);
    const float bind[3][4] = {{1, 0, 0, 0.25f}, {0, 0, -1, 1}, {0, 1, 0, -3}};
    node->mSkinInitTransform = Affine(bind);
    BS::Matrix44 shift, turn;
    shift.SetPosition(BS::Vector3(10, -1, 2));
    turn.SetRotationZ(0.6f);
    turn.SetPosition(BS::Vector3(0, 4, 0));
    Bone("BoneShift", shift);
    Bone("BoneTurn", turn);
    DAS_SkinBone* a = SkinBone("BoneShift");
    DAS_SkinBone* b = SkinBone("BoneTurn");
    const float initA[3][4] = {{0, 0, 1, 2}, {0, 1, 0, 0}, {-1, 0, 0, 1}};
    const float initB[3][4] = {{1, 0, 0, -1}, {0, 2, 0, 0}, {0, 0, 1, 0.5f}};
    a->inverseInitTransform = Affine(initA);
    b->inverseInitTransform = Affine(initB);
    node->AddBone(a);
    node->AddBone(b);
    node->mVertexAnimator.mVertices[0].mInfluences = {{1.0f, b}};
    node->mVertexAnimator.mVertices[1].mInfluences = {{0.25f, a}, {0.75f, b}};
    node->mVertexAnimator.mVertices[2].mInfluences = {{0.5f, a}, {0.6f, a}};
    mScene.SetLinkByName(true);
    mScene.Prepare();
    testing::internal::CaptureStdout();
    mScene.Animate(0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning: diff = 1.100000\n");

    // S^-1 W has the translation S^-1 (1, 2, 3) = (0.5, 4, 0.75); the exchange
    // makes it (-0.75, -0.5, 4).
    BS::Matrix44 exchange, inverseScale;
    exchange.SetPosition(BS::Vector3(-0.75f, -0.5f, 4.0f));
    inverseScale.m[0] = 0.5f, inverseScale.m[5] = 2.0f, inverseScale.m[10] = 0.25f;
    const Matrix p = Of(exchange) * Of(inverseScale) * Of(node->Mesh()->mInverseBaseTransform);
    const Matrix ma = p * Of(shift) * Of(a->inverseInitTransform) * Of(node->mSkinInitTransform);
    const Matrix mb = p * Of(turn) * Of(b->inverseInitTransform) * Of(node->mSkinInitTransform);
    // Vertex i rests at (i, 0, 0).
    const double weights[3][2] = {{0, 1}, {0.25, 0.75}, {1.1, 0}};
    for (int vertex = 0; vertex < 3; ++vertex) {
        const double wa = weights[vertex][0], wb = weights[vertex][1];
        for (int row = 0; row < 3; ++row) {
            const double expected = (wa * ma[row] + wb * mb[row]) * vertex + wa * ma[row + 12] + wb * mb[row + 12];
            EXPECT_NEAR(node->Mesh()->Vertex(vertex)[row], expected, 1e-4) << vertex << "," << row;
        }
    }
    EXPECT_FLOAT_EQ(node->Mesh()->Vertex(3)[0], 3.0f);  // no influences: not moved
    EXPECT_FLOAT_EQ(node->Mesh()->Vertex(3)[1], 0.0f);
}

}  // namespace
