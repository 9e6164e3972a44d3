// Meshes of the scene graph and the skinning and morphing that move their
// vertices, on headless GL (a mesh owns a render list).
#include <gtest/gtest.h>

#include <cmath>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "GLTestSupport.h"

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

TEST_F(SkinnedMeshTest, FacesGiveTheirCornersTheirNormal) {
    B3D_Mesh mesh;
    mesh.CreateVertex(0, 0, 0);
    mesh.CreateVertex(1, 0, 0);
    mesh.CreateVertex(0, 1, 0);
    mesh.CreateVertex(0, 0, 1);
    mesh.CreateFace(0, 1, 2);
    for (unsigned i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(mesh.Normal(i)[2], -1.0f) << i;
    mesh.CreateFace(0, 2, 3);  // the shared corners take the second face's normal
    EXPECT_NEAR(mesh.Normal(0)[0], -1.0f, 1e-6f);  // (0, -1, 0) x (0, -1, 1)
    EXPECT_NEAR(mesh.Normal(2)[2], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(mesh.Normal(1)[2], -1.0f);
    EXPECT_THROW(mesh.CreateFace(0, 1, 4), BS::Error);
    EXPECT_THROW(mesh.Vertex(4), BS::Error);
    EXPECT_EQ(mesh.FaceNum(), 2u);
}

TEST_F(SkinnedMeshTest, LoadingPacksTextureCoordinatesWithoutFlipping) {
    B3D_Mesh mesh;
    for (int i = 0; i < 3; ++i) mesh.CreateVertex(static_cast<float>(i), static_cast<float>(i * i), 0);
    mesh.TextureVertex(0)[0] = 0.5f;
    mesh.TextureVertex(0)[1] = 1.0f;
    mesh.TextureVertex(1)[0] = 1.5f;
    mesh.CreateFace(0, 1, 2);
    mesh.LoadForContext();
    const Array<RenderListVertex>& v = mesh.mModel.GetRenderLists()[0]->GetVertices();
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v[0].u, 127);
    EXPECT_EQ(v[0].v, 255);
    EXPECT_EQ(v[1].u, 126);
    EXPECT_EQ(v[2].nz, -127);
}

TEST_F(SkinnedMeshTest, AMeshSeenFromTheOriginIsTurnedOntoThePortraitScreen) {
    B3D_Camera camera;
    camera.PrepareRender(mWorld);
    auto* mesh = new B3D_Mesh();
    mWorld.AddObject(mesh);
    mesh->CreateVertex(0, 0, -5);
    mesh->CreateVertex(1, 0, -5);
    mesh->CreateVertex(0, 1, -5);
    mesh->CreateFace(0, 1, 2);
    mWorld.LoadForContext();
    DemoSys::ResetRenderTarget();
    camera.Render(mWorld);
    BS::Matrix44 quarter;
    quarter.Rotate(BS::Vector3(0, 0, 1), 1.5707964f);
    EXPECT_TRUE(mesh->mModel.mTransform == quarter);
}

TEST_F(SkinnedMeshTest, AGLErrorBeforeDrawingIsRaisedAndNothingIsDrawn) {
    B3D_Camera camera;
    auto* mesh = new B3D_Mesh();
    mWorld.AddObject(mesh);
    glEnable(0x7FFF);  // not a capability: GL_INVALID_ENUM
    testing::internal::CaptureStdout();
    try {
        camera.Render(mWorld);
        FAIL() << "no error raised";
    } catch (const BS::Error& e) {
        EXPECT_EQ(e.mMessage, "OpenGL error while camera->Context()->Activate");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenGL error while camera->Context()->Activate: 0x     500\n");
    EXPECT_FALSE(mesh->mModel.GetRenderLists()[0]->IsDrawn());
}

TEST_F(SkinnedMeshTest, PrepareRefusesAMeshWhoseTracksDoNotMatch) {
    DAS_MeshNode* node = MeshNode(8);
    node->mVertexAnimator.mVertices.pop_back();
    try {
        mScene.Prepare();
        FAIL();
    } catch (const BS::Error& e) {
        EXPECT_NE(e.mMessage.find("Mesh vertex count does not equal keyframe data vertex count!"), std::string::npos);
    }
}

TEST_F(SkinnedMeshTest, ABoneMissingFromTheSceneIsRefused) {
    DAS_MeshNode* node = MeshNode(1);
    node->AddBone(SkinBone("Bone_Nowhere"));
    mScene.SetLinkByName(true);
    testing::internal::CaptureStdout();
    try {
        mScene.Prepare();
        FAIL();
    } catch (const BS::Error& e) {
        EXPECT_EQ(e.mMessage, "No matching node for bone found!\n");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "--> 'Bone_Nowhere' not found, returning NULL\n");
}

TEST_F(SkinnedMeshTest, TwoWeightedBonesDeformAVertexAsComputedByHand) {
    mScene.SetLastTime(10.0f);
    DAS_MeshNode* node = MeshNode(3);
    node->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(1, 2, 3), 0.0f));
    BS::Matrix44 shift, turn;
    shift.SetPosition(BS::Vector3(10, 0, 0));
    turn.SetRotationZ(1.5707964f);
    Bone("BoneShift", shift);
    Bone("BoneTurn", turn);
    DAS_SkinBone* a = SkinBone("BoneShift");
    DAS_SkinBone* b = SkinBone("BoneTurn");
    node->AddBone(a);
    node->AddBone(b);
    node->mVertexAnimator.mVertices[1].mInfluences = {{0.25f, a}, {0.75f, b}};
    node->mVertexAnimator.mVertices[2].mInfluences = {{0.5f, a}, {0.6f, b}};
    mScene.SetLinkByName(true);
    mScene.Prepare();
    testing::internal::CaptureStdout();
    mScene.Animate(0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning: diff = 1.100000\n");

    // Vertex 1 sits at (1, 0, 0): a quarter of (11, 0, 0), three quarters of
    // (0, 1, 0), then the mesh's translation (1, 2, 3) exchanged to (-3, -1, 2).
    const float* v = node->Mesh()->Vertex(1);
    EXPECT_NEAR(v[0], 0.25f * 11.0f - 3.0f, 1e-5f);
    EXPECT_NEAR(v[1], 0.75f * 1.0f - 1.0f, 1e-5f);
    EXPECT_NEAR(v[2], 2.0f, 1e-5f);
    // Vertex 0 has no influences and keeps its place.
    EXPECT_FLOAT_EQ(node->Mesh()->Vertex(0)[0], 0.0f);
    EXPECT_FLOAT_EQ(node->Mesh()->Vertex(0)[1], 0.0f);
}

TEST_F(SkinnedMeshTest, MorphedAndSkinnedPositionsReachTheRenderList) {
    mScene.SetLastTime(10.0f);
    DAS_MeshNode* node = MeshNode(3);
    node->Mesh()->CreateFace(0, 1, 2);
    node->mVertexAnimator.AddKey(DAS_VertexKeyframe(BS::Vector3(0, 0, 0), 0.0f), 0);
    node->mVertexAnimator.AddKey(DAS_VertexKeyframe(BS::Vector3(0, 8, 0), 1.0f), 0);
    mScene.Prepare();
    mWorld.LoadForContext();
    B3D_Camera camera;
    camera.PrepareRender(mWorld);
    mScene.Animate(1.0f);
    DemoSys::ResetRenderTarget();
    camera.Render(mWorld);
    EXPECT_FLOAT_EQ(node->Mesh()->mModel.GetRenderLists()[0]->GetVertices()[0].y, 8.0f);
}

}  // namespace
