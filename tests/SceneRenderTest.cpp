// The scenes drawn on headless GL from the generated data tree, checked in the read-back picture against where each
// scene's own rule puts its models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "BS/Export/BS_Math.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/RenderBuffer.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "Effects/SceneSupport.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/particleScene.h"
#include "GLTestSupport.h"
#include "scene1.h"

namespace {

struct Picture {
    std::vector<unsigned char> rgba;

    std::array<int, 4> At(int x, int y) const {
        const unsigned char* p = &rgba[(static_cast<size_t>(y) * 320 + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    double Brightness(int x0, int y0, int x1, int y1) const {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto p = At(x, y);
                sum += (p[0] + p[1] + p[2]) / 3.0;
            }
        return sum / ((x1 - x0) * (y1 - y0));
    }
    bool operator==(const Picture& other) const { return rgba == other.rgba; }
};

Picture ReadScreen() { return Picture{ReadScreenRGBA()}; }

// A rectangle of the 320 x 480 pixel grid, GL's origin bottom left.
struct Box {
    float left = 1e9f, bottom = 1e9f, right = -1e9f, top = -1e9f;

    bool Empty() const { return left > right || bottom > top; }
    void Add(float x, float y) {
        left = std::min(left, x), right = std::max(right, x);
        bottom = std::min(bottom, y), top = std::max(top, y);
    }
    void Add(const Box& b) { b.Empty() || (Add(b.left, b.bottom), Add(b.right, b.top), true); }
    Box Grown(float margin) const { return {left - margin, bottom - margin, right + margin, top + margin}; }
    Box Within(const Box& o) const {
        return {std::max(left, o.left), std::max(bottom, o.bottom), std::min(right, o.right), std::min(top, o.top)};
    }
    bool Meets(const Box& o) const { return !Within(o).Empty(); }
    bool Inside(const Box& o) const { return left >= o.left && bottom >= o.bottom && right <= o.right && top <= o.top; }
};
const Box kScreen{0.0f, 0.0f, 320.0f, 480.0f};

// Where a model's vertices land through projection x view x local.
Box Projected(const SimpleModel& model, const BS::Matrix44& pvl) {
    Box box;
    for (const RenderList* list : model.GetRenderLists())
        for (int i = 0; i < list->GetVertices().Count(); ++i) {
            const RenderListVertex& v = list->GetVertices()[i];
            const BS::Vector3 ndc = pvl.TransformPoint(BS::Vector3(v.x, v.y, v.z));
            box.Add((ndc.x + 1.0f) * 160.0f, (ndc.y + 1.0f) * 240.0f);
        }
    return box;
}

// The pixels inside a window that differ from a reference picture.
Box Changed(const Picture& frame, const Picture& reference, const Box& window) {
    Box box;
    const Box w = window.Within(kScreen);
    for (int y = static_cast<int>(w.bottom); y < static_cast<int>(std::ceil(w.top)); ++y)
        for (int x = static_cast<int>(w.left); x < static_cast<int>(std::ceil(w.right)); ++x) {
            const auto a = frame.At(x, y), b = reference.At(x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24)
                box.Add(x, y), box.Add(x + 1.0f, y + 1.0f);
        }
    return box;
}

void ExpectSameBox(const Box& seen, const Box& expected, float tolerance, const std::string& what) {
    ASSERT_FALSE(seen.Empty()) << what << " is not drawn";
    EXPECT_LE(std::max({std::fabs(seen.left - expected.left), std::fabs(seen.right - expected.right),
                        std::fabs(seen.bottom - expected.bottom), std::fabs(seen.top - expected.top)}),
              tolerance)
        << what;
}

BS::Matrix44 Scaled(float s) {
    BS::Matrix44 m;
    m.Scale(BS::Vector3(s, s, s));
    return m;
}

// A model and where the scene's rule puts it.
struct Part {
    const SimpleModel* model;
    BS::Matrix44 local;
};

class SceneRenderTest : public SceneTest {
protected:
    static Picture Render(Effect& scene, float fxTime, float demoTime, float fxProgress) {
        DemoSys::ResetRenderTarget();
        testing::internal::CaptureStdout();
        scene.renderForFxTime(fxTime, demoTime, fxProgress, 0.0f);
        EXPECT_EQ(testing::internal::GetCapturedStdout().find("glError"), std::string::npos);
        DemoSys::ResetRenderTarget();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return ReadScreen();
    }
    // A picture from the data tree drawn over the whole screen, as the scenes draw their backgrounds.
    static Picture Backdrop(const char* file) {
        const GLuint texture = SimpleMaterial::LoadRectTextureFromFile(Bundle::Path() + file);
        DemoSys::ResetRenderTarget();
        glDisable(GL_BLEND);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        DemoSys::DrawRect(0.0f, 0.0f, 480.0f, 320.0f, kHalfPi, DemoSys::kWhite);
        return ReadScreen();
    }
    static const BS::Matrix44& Projection() {
        static const BS::Matrix44 projection = SimpleCamera().GetProjectionMatrix();
        return projection;
    }
};

// The opening's models where its rule places them at demo time t (outside the glitch windows).
class BallScene {
public:
    BallScene() {
        const SimpleModel* wire = LoadSceneModel("/FxData/Scene1/", "wiresphere.obj", GL_LINES);
        const Array<RenderListVertex>& v = wire->GetRenderLists()[0]->GetVertices();
        for (int i = 0; i < v.Count(); ++i)
            if (v[i].z > 20.0f) mCap.emplace_back(v[i].x, v[i].y, v[i].z);
        for (int i = 0; i < 18; ++i)
            mShards.push_back(LoadSceneModel("/FxData/Scene1/shards/",
                                             ((i < 5 ? "ball_" : "ball") + std::to_string(i) + ".obj").c_str()));
    }

    static BS::Matrix44 View(float t) {
        BS::Matrix44 view;
        view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), 0.2f * t + kHalfPi);
        view.Translate(BS::Vector3(0.0f, 0.0f, -100.0f - t));
        return view;
    }
    // The small balls, one for every ninth cap vertex.
    std::vector<Part> Balls(float t) const {
        const float a = std::fabs(10.0f - t) / 10.0f;
        const float e = a <= 1.0f ? 1.0f - std::cos(a * kHalfPi) : a * a;
        std::vector<Part> balls;
        for (size_t j = 0; j < mCap.size(); j += 9) {
            const BS::Vector3& p = mCap[j];
            const float fj = static_cast<float>(j);
            BS::Matrix44 local = Scaled(1.3f + 0.3f * std::sin(fj));
            local.Translate(BS::Vector3(p.x * (1.0f - e) + 300.0f * e * std::sin(fj),
                                        p.y * (1.0f - e) + 200.0f * e * std::cos(fj), p.z));
            balls.push_back({mTiny, local});
        }
        return balls;
    }
    std::vector<Part> Shards(float t) const {
        const float u = (t - 20.0f) / 4.0f;
        const float f = u <= 1.0f ? u : u * u;
        std::vector<Part> shards;
        for (int i = 0; i < 18; ++i) {
            const RenderListVertex& c = mShards[i]->GetRenderLists()[0]->GetVertices()[0];
            const float fi = static_cast<float>(i);
            BS::Matrix44 local = Scaled(0.6f);
            local.Rotate(BS::Vector3(std::sin(fi), std::sin(2.0f * fi), std::sin(3.0f * fi)), 3.0f * f);
            local.Translate(BS::Vector3(c.x * f, c.y * f, c.z * f));
            shards.push_back({mShards[i], local});
        }
        return shards;
    }
    const SimpleModel* Solid() const { return mSolid; }

private:
    const SimpleModel* mTiny = LoadSceneModel("/FxData/Scene1/", "tinyball.obj");
    const SimpleModel* mSolid = LoadSceneModel("/FxData/Scene1/", "solidsphere.obj");
    std::vector<BS::Vector3> mCap;
    std::vector<const SimpleModel*> mShards;
};

// Everything of the parts that reaches into a window, as projected at time t.
Box ExpectedIn(const std::vector<Part>& parts, const BS::Matrix44& pv, const Box& window) {
    Box box;
    for (const Part& part : parts) {
        const Box b = Projected(*part.model, pv * part.local);
        if (b.Meets(window)) box.Add(b.Within(window));
    }
    return box;
}

TEST_F(SceneRenderTest, BallSceneZoomsOutWhileItsBallsGatherAndFlyApart) {
    scene1& scene = Loaded<scene1>();
    const BallScene rule;
    const Picture background = Backdrop("/FxData/Scene1/bg.png");
    // The solid sphere shrinks as the camera backs off, with the balls on its cap.
    for (float t : {10.5f, 19.5f}) {
        const BS::Matrix44 pv = Projection() * BallScene::View(t);
        std::vector<Part> parts = rule.Balls(t);
        parts.push_back({rule.Solid(), BS::Matrix44()});
        const Box window = Projected(*rule.Solid(), pv).Grown(12.0f);
        ExpectSameBox(Changed(Render(scene, 0.0f, t, 0.0f), background, window), ExpectedIn(parts, pv, window), 1.5f,
                      "the sphere at " + std::to_string(t));
    }
    // Out on their way to the ellipse, each ball is as large as its own scale makes it.
    for (float t : {14.0f, 15.0f}) {
        const BS::Matrix44 pv = Projection() * BallScene::View(t);
        const Picture frame = Render(scene, 0.0f, t, 0.0f);
        const std::vector<Part> balls = rule.Balls(t);
        const Box sphere = Projected(*rule.Solid(), pv);
        int checked = 0;
        for (size_t k = 0; k < balls.size(); ++k) {
            const Box own = Projected(*balls[k].model, pv * balls[k].local);
            const Box window = own.Grown(3.0f);
            bool alone = !window.Meets(sphere) && window.Inside(kScreen.Grown(-2.0f));
            for (size_t o = 0; o < balls.size(); ++o)
                alone = alone && (o == k || !Projected(*balls[o].model, pv * balls[o].local).Meets(window));
            if (!alone || std::fabs(std::sin(9.0f * k)) < 0.8f) continue;
            ExpectSameBox(Changed(frame, background, window), own, 1.2f,
                          "ball " + std::to_string(9 * k) + " at " + std::to_string(t));
            ++checked;
        }
        EXPECT_GE(checked, 2) << t;
    }
    // The shards fly out, linearly and then faster.
    for (float t : {21.0f, 23.0f, 24.5f}) {
        const BS::Matrix44 pv = Projection() * BallScene::View(t);
        ExpectSameBox(Changed(Render(scene, 0.0f, t, 0.0f), background, kScreen),
                      ExpectedIn(rule.Shards(t), pv, kScreen), 1.5f, "the shards at " + std::to_string(t));
    }
}

// The room's view from the viewpoint the snares choose.
BS::Matrix44 RoomView(float t) {
    const bool first = crystalGrowth::FirstViewpoint(t);
    BS::Matrix44 view;
    view.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), first ? 0.2f : -0.2f);
    view.Rotate(BS::Vector3(0.0f, 1.0f, 0.0f), first ? t - 1.0f : t + 2.0f);
    view.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), kHalfPi);
    view.Translate(BS::Vector3(0.0f, 0.0f, -40.0f));
    return view;
}

bool Metal(const std::array<int, 4>& p) { return p[0] > 60 && p[0] > 2 * p[2] && p[1] > p[2] + 15; }

TEST_F(SceneRenderTest, CrystalRoomShowsItsArmAndIsAFunctionOfTime) {
    crystalGrowth& crystal = Loaded<crystalGrowth>();
    const SimpleModel* arm = LoadSceneModel("/FxData/crystalGrowth/", "arm.obj");
    // The middles of the arm's faces, where the viewpoint's view puts them, show its metal.
    for (float t : {40.4f, 44.0f, 47.2f}) {
        const Picture frame = Render(crystal, 0.0f, t, 0.0f);
        const BS::Matrix44 pv = Projection() * RoomView(t);
        int faces = 0, metal = 0;
        const Array<RenderListVertex>& v = arm->GetRenderLists()[0]->GetVertices();
        for (int i = 0; i + 2 < v.Count(); i += 3) {
            const BS::Vector3 ndc = pv.TransformPoint(BS::Vector3((v[i].x + v[i + 1].x + v[i + 2].x) / 3.0f,
                                                                  (v[i].y + v[i + 1].y + v[i + 2].y) / 3.0f,
                                                                  (v[i].z + v[i + 1].z + v[i + 2].z) / 3.0f));
            const int x = static_cast<int>((ndc.x + 1.0f) * 160.0f), y = static_cast<int>((ndc.y + 1.0f) * 240.0f);
            if (x < 0 || x >= 320 || y < 0 || y >= 480) continue;
            ++faces;
            metal += Metal(frame.At(x, y));
        }
        EXPECT_GT(faces, 50) << t;
        EXPECT_GT(metal, 4 * faces / 5) << t;
    }
    const Picture first = Render(crystal, 0.0f, 40.0f, 0.0f);
    EXPECT_TRUE(first == Render(crystal, 0.0f, 40.0f, 0.0f)) << "drawing twice gives the same picture";
    EXPECT_FALSE(first == Render(crystal, 0.0f, 40.5f, 0.0f));

    // The crystals reflect the room as the first viewpoint sees it at 0 s,
    // drawn once while loading and bound on unit 1 for their shader.
    GLint reflected = 0;
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &reflected);
    glActiveTexture(GL_TEXTURE0);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, static_cast<GLuint>(reflected), 0);
    const Picture snapshot = ReadScreen();
    glDeleteFramebuffers(1, &framebuffer);
    RenderBuffer expected(320, 480, false);
    expected.BindAsRenderTarget();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    RenderPlaced(LoadSceneModel("/FxData/crystalGrowth/", "room.obj"), RoomView(0.0f), BS::Matrix44(), Projection(),
                 BS::Matrix44());
    const Picture room = ReadScreen();
    DemoSys::ResetRenderTarget();
    EXPECT_GT(room.Brightness(0, 0, 320, 480), 10.0) << "the room is in view";
    EXPECT_TRUE(snapshot == room);
}

// The jellyfish's swell at height z and time t.
float Swell(float z, float t) { return 1.0f + 0.2f * std::sin(0.02f * z + 10.0f * t); }

TEST_F(SceneRenderTest, JellyfishSwellsFromItsRestShapeEveryFrame) {
    manetjakt& hunt = Loaded<manetjakt>();
    manetjakt::Rewind();
    // The scene's model shares its vertices with every instance of the file.
    const RenderList& body = *LoadSceneModel("/FxData/manetjakt/", "manet.obj")->GetRenderLists()[0];
    const auto vertices = [&] {
        std::vector<BS::Vector3> out;
        for (int i = 0; i < body.GetVertices().Count(); ++i)
            out.emplace_back(body.GetVertices()[i].x, body.GetVertices()[i].y, body.GetVertices()[i].z);
        return out;
    };
    Render(hunt, 5.0f, 150.3f, 0.0f);
    const std::vector<BS::Vector3> direct = vertices();
    for (float t : {150.0f, 150.1f, 150.2f, 150.3f}) Render(hunt, 5.0f + t - 150.0f, t, 0.0f);
    const std::vector<BS::Vector3> stepped = vertices();
    Render(hunt, 6.0f, 151.0f, 0.0f);
    const std::vector<BS::Vector3> later = vertices();
    ASSERT_GT(direct.size(), 100u);
    for (size_t k = 0; k < direct.size(); k += 7) {
        EXPECT_FLOAT_EQ(stepped[k].x, direct[k].x) << "the swell starts from the rest shape every frame";
        // The same rest point: x / swell agrees between two times.
        EXPECT_NEAR(later[k].x * Swell(direct[k].z, 150.3f), direct[k].x * Swell(direct[k].z, 151.0f), 1e-3f) << k;
        EXPECT_NEAR(later[k].y * Swell(direct[k].z, 150.3f), direct[k].y * Swell(direct[k].z, 151.0f), 1e-3f) << k;
    }
}

// True while some descriptor of this process names the file.
bool Open(const std::string& name) {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the listing's own descriptor is closed by the time it is read
        if (std::filesystem::read_symlink(fd.path(), gone).string().find(name) != std::string::npos) return true;
    }
    return false;
}

TEST_F(SceneRenderTest, ParticleFigureKeepsNoFileOpenAndGathersOverItsBackground) {
    particleScene& figure = Loaded<particleScene>();
    EXPECT_FALSE(Open("particles.raw"));
    particleScene::Rewind();
    Render(figure, 0.5f, 82.5f, 0.0f);
    // The particle cloud is brighter than the dim background around it.
    const Picture later = Render(figure, 2.0f, 84.0f, 0.0f);
    EXPECT_GT(later.Brightness(120, 200, 200, 280), later.Brightness(0, 0, 40, 40));
}

}  // namespace
