// The data generator's MAS writer against the importer: a scene written from
// values in the show's frame comes back with the same values.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "GLTestSupport.h"
#include "TempTree.h"
#include "tools/fxgen/MasWriter.h"

namespace {

constexpr float kTolerance = 2e-4f;

MasScene SkinnedScene() {
    MasScene scene;
    scene.lastFrame = 120.0f;  // 4 s at 30 frames per second
    scene.materials = {{"skin.png", ""}, {"", "white.png"}};
    for (int b = 0; b < 2; ++b) {
        MasGeometry bone;
        bone.name = "Bone0" + std::to_string(b + 1);
        bone.position = {static_cast<float>(b), 2.0f, 0.0f};
        bone.positionKeys = {{1.0f, {static_cast<float>(b), 3.0f, 0.5f}}, {2.0f, {static_cast<float>(b), 2.0f, 1.0f}}};
        bone.rotationKeys = {{1.0f, {0, 0, 1}, 0.5f * (b + 1)}};
        scene.objects.push_back(bone);
    }
    MasGeometry body;
    body.name = "Body";
    body.parent = "Bone01";
    body.material = 0;
    body.position = {0.5f, 0.0f, -1.0f};
    body.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.25f}};
    body.faces = {{{0, 1, 2}}, {{0, 2, 3}}};
    body.uvs = {{{0, 0}}, {{1, 0}}, {{1, 1}}, {{0, 0.75f}}};
    body.normals = {{0, 0, 1}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    body.skinned = true;
    body.skinColumns = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5f, 0.0f, -1.0f}}};
    body.bones = {{"Bone01", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 2, 0}}}, {{0, 1.0f}, {1, 0.5f}}},
                  {"Bone02", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 0}}}, {{1, 0.5f}, {2, 1.0f}, {3, 1.0f}}}};
    scene.objects.push_back(body);

    MasCamera camera;
    camera.name = "Camera04";
    camera.position = {0, 5, 20};
    camera.axis = {0, 1, 0};
    camera.angle = 0.3f;
    camera.target = {0, 1, 0};
    camera.intervals = {{{0.0f, 2.0f}}, {{3.0f, 4.0f}}};
    camera.positionKeys = {{2.0f, {3, 5, 18}}, {4.0f, {-3, 5, 18}}};
    camera.rotationKeys = {{4.0f, {0, 1, 0}, -0.3f}};
    scene.cameras.push_back(camera);
    return scene;
}

void ExpectVector(const BS::Vector3& got, const Vec3& want) {
    EXPECT_NEAR(got.x, want.x, kTolerance);
    EXPECT_NEAR(got.y, want.y, kTolerance);
    EXPECT_NEAR(got.z, want.z, kTolerance);
}

void ExpectRotation(const BS::Quaternion& got, const Vec3& axis, float angle, bool camera) {
    BS::Matrix44 want = BS::Vector3(axis.x, axis.y, axis.z).GetQuaternion(angle).Matrix();
    if (camera) {
        BS::Matrix44 correction;
        correction.Rotate(BS::Vector3(1, 0, 0), 1.5707964f);
        want = want * correction;
    }
    const BS::Matrix44 m = got.Matrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.m[i], want.m[i], 1e-4f) << i;
}

class MasRoundTripTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        const std::string text = WriteMas(mWritten);
        testing::internal::CaptureStdout();
        DAS_MAS_Importer importer(&mScene, nullptr);
        importer.ImportBytes(text.data(), text.size(), mTree.Path() + "/");
        mScene.SetLinkByName(true);
        testing::internal::GetCapturedStdout();
    }
    DAS_Node* Node(const std::string& name) { return mScene.NodeForName(name); }

    TempTree mTree;
    MasScene mWritten = SkinnedScene();
    B3D_World mWorld;
    DAS mScene{&mWorld};
};

TEST_F(MasRoundTripTest, TheSceneAndItsSkinnedMeshComeBack) {
    EXPECT_FLOAT_EQ(mScene.LastTime(), 4.0f);
    ASSERT_EQ(mScene.Materials().size(), 3u);
    EXPECT_EQ(mScene.Materials()[1]->mName, "skin.png");
    EXPECT_EQ(mScene.Materials()[2]->mName, "white.png");
    ASSERT_EQ(mScene.Meshes().size(), 3u);
    EXPECT_EQ(mScene.Meshes()[2]->Mesh()->Material(), mScene.Materials()[1]->mMaterial);

    const MasGeometry& body = mWritten.objects[2];
    auto* node = dynamic_cast<DAS_MeshNode*>(Node("Body"));
    ASSERT_NE(node, nullptr);
    B3D_Mesh* mesh = node->Mesh();
    ASSERT_EQ(mesh->VertexNum(), body.positions.size());
    ASSERT_EQ(mesh->FaceNum(), body.faces.size());
    for (size_t f = 0; f < body.faces.size(); ++f)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(node->mFaceAnimator.mFaces[f].mVertexIndices[k], body.faces[f][k]);
    for (unsigned v = 0; v < mesh->VertexNum(); ++v) {
        const float* p = mesh->Vertex(v);
        ExpectVector(BS::Vector3(p[0], p[1], p[2]), body.positions[v]);
        EXPECT_NEAR(mesh->TextureVertex(v)[0], body.uvs[v][0], kTolerance);
        EXPECT_NEAR(mesh->TextureVertex(v)[1], body.uvs[v][1], kTolerance);
    }

    ASSERT_EQ(node->Bones().size(), 2u);
    const BS::Vector4 t = node->mSkinInitTransform.GetColumn(3);
    ExpectVector(BS::Vector3(t.x, t.y, t.z), body.skinColumns[3]);
    EXPECT_NEAR(node->mSkinInitTransform.m[0], 1.0f, kTolerance);
    EXPECT_NEAR(node->mSkinInitTransform.m[10], 1.0f, kTolerance);
    for (size_t b = 0; b < 2; ++b) {
        EXPECT_EQ(node->Bones()[b]->name, body.bones[b].name);
        const BS::Vector4 bt = node->Bones()[b]->initTransform.GetColumn(3);
        ExpectVector(BS::Vector3(bt.x, bt.y, bt.z), body.bones[b].bindColumns[3]);
    }
    const auto& shared = node->mVertexAnimator.mVertices[1].mInfluences;
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_FLOAT_EQ(shared[0].weight, 0.5f);
    EXPECT_EQ(shared[1].bone, node->Bones()[1]);

    mScene.Prepare();
    EXPECT_EQ(node->Parent(), Node("Bone01"));
    EXPECT_EQ(node->Bones()[1]->node, Node("Bone02"));
    EXPECT_FALSE(mScene.Meshes()[0]->Mesh()->Visible()) << "skeleton bones are hidden";
    EXPECT_TRUE(mesh->Visible());
    testing::internal::CaptureStdout();
    mScene.Animate(1.5f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "every vertex's weights sum to 1";
}

TEST_F(MasRoundTripTest, TracksAndTheAnimatedCamera) {
    const MasGeometry& bone = mWritten.objects[1];
    DAS_Node* node = Node("Bone02");
    const auto& positions = node->mAnimator.PositionKeys();
    ASSERT_EQ(positions.size(), 3u);  // the node transform's key at 0 and two samples
    ExpectVector(positions[0].Position(), bone.position);
    EXPECT_NEAR(positions[1].Time(), 1.0f, 1e-6f);
    ExpectVector(positions[2].Position(), bone.positionKeys[1].position);
    ASSERT_EQ(node->mAnimator.RotationKeys().size(), 2u);
    ExpectRotation(node->mAnimator.RotationKeys()[1].GetQuaternion(), bone.rotationKeys[0].axis,
                   bone.rotationKeys[0].angle, false);

    const MasCamera& written = mWritten.cameras[0];
    ASSERT_EQ(mScene.Cameras().size(), 1u);
    DAS_CameraNode* camera = mScene.Cameras()[0];
    EXPECT_EQ(camera->mName, "Camera04.Target");
    EXPECT_EQ(camera->mIntervalCount, 2u);
    EXPECT_NEAR(camera->mIntervalStarts[1], 3.0f, 1e-6f);
    EXPECT_NEAR(camera->mIntervalEnds[1], 4.0f, 1e-6f);
    ASSERT_EQ(camera->mAnimator.PositionKeys().size(), 3u);
    ExpectVector(camera->mAnimator.PositionKeys()[0].Position(), written.position);
    ExpectVector(camera->mAnimator.PositionKeys()[2].Position(), written.positionKeys[1].position);
    ExpectRotation(camera->mAnimator.RotationKeys()[0].GetQuaternion(), written.axis, written.angle, true);
    ExpectVector(camera->mTargetAnimator.PositionKeys().at(0).Position(), written.target);
    mScene.Prepare();
    EXPECT_EQ(mScene.ActiveCamera(2.5f), nullptr);
    EXPECT_EQ(mScene.ActiveCamera(3.5f), camera);
    mScene.Animate(3.0f);
    const BS::Vector4 at = camera->Camera()->mTransform.GetColumn(3);
    // Halfway between x = 3 at 2 s and x = -3 at 4 s, on the curve through x = 0 at 0 s.
    const BS::CatmullRomWeights w(0.5f);
    EXPECT_NEAR(at.x, 0.0f * w.c0 + 3.0f * w.c1 - 3.0f * w.c2 - 3.0f * w.c3, 1e-3f);
}

}  // namespace
