// The animation tree and the scene driver over plain scene objects, and the scene graph's traversal, without GL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Light.h"
#include "B3D/Source/B3D_World.h"
#include "DAS/Source/DAS.h"

namespace {

// Counts how often it is drawn.
class ProbeObject : public B3D_Object {
public:
    void Render(B3D_Camera& camera, BS::Matrix44 m) override {
        ++renders;
        received = m;
        B3D_Object::Render(camera, m);
    }
    void LoadForContext() override {
        ++loads;
        B3D_Object::LoadForContext();
    }
    void CullTestSelf(B3D_Camera& camera) override {
        ++cullTests;
        B3D_Object::CullTestSelf(camera);
    }
    int renders = 0, loads = 0, cullTests = 0;
    BS::Matrix44 received;
};

class AnimationTest : public ::testing::Test {
protected:
    // A node driving a new object the world owns.
    DAS_Node* NodeWithObject(const std::string& name, const std::string& parentName = "") {
        auto* node = new DAS_Node();
        node->mObject = new B3D_Object();
        node->mName = name;
        node->mParentName = parentName;
        mScene.InsertObject(node->mObject);
        return mScene.InsertNode(node, nullptr);
    }

    B3D_World mWorld;
    DAS mScene{&mWorld};
};

TEST_F(AnimationTest, AParentChainOfAnyDepthIsWalkedWithoutRecursion) {
    constexpr int kDepth = 25000;
    DAS_Node* parent = nullptr;
    std::vector<DAS_Node*> chain;
    for (int i = 0; i < kDepth; ++i) {
        auto* node = new DAS_Node(parent);
        node->mObject = new B3D_Object();
        node->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(1, i % 2 ? 1.0f : -1.0f, 0), 0.0f));
        mScene.InsertObject(node->mObject);
        parent = mScene.InsertNode(node, parent);
        chain.push_back(node);
    }
    mScene.Prepare();
    mScene.Animate(0.0f);
    for (int depth : {1, 2, 777, kDepth}) {
        const BS::Vector4 p = chain[depth - 1]->Object()->mTransform.GetColumn(3);
        EXPECT_FLOAT_EQ(p.x, static_cast<float>(depth)) << depth;
        EXPECT_FLOAT_EQ(p.y, depth % 2 ? -1.0f : 0.0f) << depth;
    }
}

TEST_F(AnimationTest, WorldMatricesComposeTrackScaleAndParent) {
    mScene.SetLastTime(10.0f);
    DAS_Node* root = NodeWithObject("Root");
    root->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(1, 2, 3), 0.0f));
    root->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(5, -2, 3), 2.0f));
    root->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(BS::Quaternion(), 0.0f));
    root->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(BS::Vector3(0, 0, 1).GetQuaternion(1.0f).Matrix(), 2.0f));
    root->mScaleMatrix.Scale(BS::Vector3(2, 3, 4));
    DAS_Node* child = NodeWithObject("Child", "Root");
    child->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(1, 0, 0), 0.0f));
    child->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(BS::Vector3(1, 0, 0).GetQuaternion(0.5f).Matrix(), 0.0f));
    mScene.SetLinkByName(true);
    mScene.Prepare();
    mScene.Animate(0.5f);

    // T(p(t)) R(q(t)) S, and the parent's world matrix on the left of the child's.
    BS::Matrix44 rootWorld;
    const BS::Vector4 p = root->mAnimator.Position(0.5f, false);
    rootWorld.SetPosition(BS::Vector3(p.x, p.y, p.z));
    rootWorld = rootWorld * root->mAnimator.Rotation(0.5f, false).Matrix() * root->mScaleMatrix;
    EXPECT_GT(p.x, 1.1f);  // between the keys, not at either
    EXPECT_LT(p.x, 4.9f);
    EXPECT_TRUE(root->Object()->mTransform == rootWorld);
    BS::Matrix44 childLocal;
    childLocal.SetPosition(BS::Vector3(1, 0, 0));
    childLocal = childLocal * child->mAnimator.Rotation(0.5f, false).Matrix();
    EXPECT_TRUE(child->Object()->mTransform == rootWorld * childLocal);
}

TEST_F(AnimationTest, AParentWithoutAnObjectPlacesItsChildrenAsAtTheOrigin) {
    DAS_Node* group = mScene.InsertNode(new DAS_Node(), nullptr);
    auto* child = new DAS_Node(group);
    child->mObject = new B3D_Object();
    mScene.InsertObject(child->mObject);
    child->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(BS::Vector3(4, -5, 6), 0.0f));
    mScene.InsertNode(child, group);
    mScene.Prepare();
    mScene.Animate(0.0f);
    const BS::Vector4 p = child->Object()->mTransform.GetColumn(3);
    EXPECT_EQ(std::vector<float>({p.x, p.y, p.z}), (std::vector<float>{4.0f, -5.0f, 6.0f}));
}

TEST_F(AnimationTest, CamerasAreActiveInTheirIntervalsFirstInsertedWinning) {
    DAS_CameraNode* first = mScene.InsertCamera(new DAS_CameraNode(), nullptr);
    first->mCamera = new B3D_Camera();
    first->AddInterval(0.0f, 1.0f);
    first->AddInterval(2.0f, 3.0f);
    DAS_CameraNode* second = mScene.InsertCamera(new DAS_CameraNode(), nullptr);
    second->mCamera = new B3D_Camera();
    second->AddInterval(2.5f, 5.0f);
    const std::pair<float, DAS_CameraNode*> active[] = {
        {0.0f, first}, {1.0f, first}, {1.5f, nullptr}, {2.7f, first}, {4.0f, second}};
    for (const auto& [time, camera] : active) EXPECT_EQ(mScene.ActiveCamera(time), camera) << time;
    EXPECT_EQ(mScene.FirstCamera(), first);
}

TEST(SceneGraph, HiddenAndCulledObjectsDrawNoneOfTheirChildren) {
    B3D_Camera camera;
    ProbeObject parent, child;
    parent.AddObject(&child);
    EXPECT_FALSE(parent.IsMesh());
    // Each step, then a draw, and how often the child was drawn by then.
    const std::pair<void (*)(ProbeObject&), int> steps[] = {{[](ProbeObject&) {}, 1},
                                                            {[](ProbeObject& p) { p.Hide(); }, 1},
                                                            {[](ProbeObject& p) { p.Show(); }, 2},
                                                            {[](ProbeObject& p) { p.SetCulled(true); }, 2}};
    for (const auto& [step, drawn] : steps) {
        step(parent);
        parent.Render(camera, BS::Matrix44());
        EXPECT_EQ(child.renders, drawn);
    }
}

TEST(SceneGraph, ChildrenReceiveTheTransformTimesWhatTheParentWasGiven) {
    B3D_Camera camera;
    ProbeObject parent, child, grandchild;
    parent.AddObject(&child);
    child.AddObject(&grandchild);
    parent.mTransform.SetRotationZ(0.5f);
    parent.mTransform.SetPosition(BS::Vector3(1, 2, 3));
    child.mTransform.SetRotationX(-1.2f);
    child.mTransform.SetPosition(BS::Vector3(0, -4, 0.5f));
    BS::Matrix44 given;
    given.SetRotationY(0.9f);
    given.SetPosition(BS::Vector3(7, 0, -1));
    parent.Render(camera, given);
    // Composed by hand: the object's transform on the left of what it was given.
    for (ProbeObject* probe : {&child, &grandchild}) {
        const BS::Matrix44 expected = probe == &child ? parent.mTransform * given
                                                      : child.mTransform * (parent.mTransform * given);
        EXPECT_TRUE(probe->received == expected);
    }
    EXPECT_FALSE(child.received == given * parent.mTransform);
    parent.LoadForContext();
    parent.CullTestSelf(camera);
    EXPECT_EQ(grandchild.loads, 1);
    EXPECT_EQ(grandchild.cullTests, 1);
}

// A Base that counts how often one of its kind is destroyed.
template <typename Base>
class CountsDestruction : public Base {
public:
    template <typename... Args>
    explicit CountsDestruction(int* destroyed, Args... args) : Base(args...), mDestroyed(destroyed) {}
    ~CountsDestruction() override { ++*mDestroyed; }

private:
    int* mDestroyed;
};

// A world destroys its objects and lights once each, one listed as both once; a scene its nodes.
TEST(SceneGraph, AWorldAndASceneDestroyWhatTheyHoldOnceEach) {
    int objects = 0, lights = 0, both = 0, nodes = 0;
    {
        B3D_World world;
        world.AddObject(new CountsDestruction<B3D_Object>(&objects));
        world.AddObject(new CountsDestruction<B3D_Object>(&objects));
        world.AddLight(new CountsDestruction<B3D_Light>(&lights));
        auto* listedTwice = new CountsDestruction<B3D_Light>(&both);
        world.AddObject(listedTwice);
        world.AddLight(listedTwice);
        DAS scene(&world);
        DAS_Node* root = scene.InsertNode(new CountsDestruction<DAS_Node>(&nodes, nullptr), nullptr);
        scene.InsertNode(new CountsDestruction<DAS_Node>(&nodes, root), root);
        scene.InsertNode(new CountsDestruction<DAS_Node>(&nodes, nullptr), nullptr);
    }
    EXPECT_EQ(std::vector<int>({objects, lights, both, nodes}), (std::vector<int>{2, 1, 1, 3}));
}

}  // namespace
