// The three scenes that play scene files, on headless GL: what their pictures, held by the reference frames, do
// not show (a texture another scene left bound, a GL error, a scene file cut short), and their clocks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "B3D/Source/B3D_Camera.h"
#include "BS/Export/BS_Application.h"
#include "DAS/Source/DAS.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Host.h"
#include "DemoSys/ShowMemory.h"
#include "Effects/AnimatedScene.h"
#include "Effects/ParticleStream.h"
#include "Effects/SceneSupport.h"
#include "Effects/robot.h"
#include "Effects/sawblade.h"
#include "Effects/tunnel.h"
#include "GLTestSupport.h"
#include "TempTree.h"

namespace {

class AnimatedSceneTest : public SceneTest {
protected:
    // The scene loaded without an error, its motion back where load left it.
    template <typename Scene>
    static Scene& Rewound() {
        Scene& scene = Loaded<Scene>();
        EXPECT_EQ(LoadOutput<Scene>().find("GOT EXCEPTION"), std::string::npos);
        Scene::Rewind();
        return scene;
    }
    // Mean brightness of the frame after n renders at demo time t.
    static double Render(Effect& scene, float t, int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            DemoSys::ResetRenderTarget();
            scene.renderForFxTime(0.0f, t + i / 60.0f, 0.0f, 0.0f);
        }
        const std::vector<unsigned char> pixels = ReadScreenRGBA();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        double sum = 0.0;
        for (size_t i = 0; i < pixels.size(); i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
        return sum / (3.0 * 320 * 480);
    }
    // Pixels that differ between two frames of one moment (its sparks too), one drawn after a white and one after
    // a black texture was left on texture unit 1 by the scene before.
    static int PixelsTheLeftTextureChanges(Effect& scene, float t) {
        const unsigned char white[4] = {255, 255, 255, 255}, black[4] = {0, 0, 0, 255};
        ShowMemory memory;
        scene.RegisterState(memory);
        ShowMemory::Moment moment;
        memory.Keep(moment);
        std::vector<unsigned char> frames[2];
        for (int k = 0; k < 2; ++k) {
            const GLuint left = MakeTexture(1, 1, k ? black : white);
            memory.Restore(moment);
            srand(1);
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, left);
            glActiveTexture(GL_TEXTURE0);
            Render(scene, t);
            frames[k] = ReadScreenRGBA();
        }
        const std::vector<unsigned char>&a = frames[0], &b = frames[1];
        int differ = 0;
        for (size_t i = 0; i < a.size(); i += 4)
            differ += std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 48;
        return differ;
    }
};

// The robot's clock steps by the frame's time within 1/60 s and 0.05 s and loops from 10 s back to 1 s; the saw's
// from 4.2 s to 1 s.
TEST_F(AnimatedSceneTest, TheRobotsAndTheSawsClocksStepWithinBoundsAndLoop) {
    EXPECT_FLOAT_EQ(robot::Step(40.0f, 0.0f), 0.05f);
    EXPECT_FLOAT_EQ(robot::Step(40.001f, 40.0f), 0.016666668f);
    EXPECT_FLOAT_EQ(robot::Step(40.03f, 40.0f), 40.03f - 40.0f);
    EXPECT_FLOAT_EQ(robot::Wrap(10.0f), 10.0f);
    testing::internal::CaptureStdout();
    EXPECT_NEAR(robot::Wrap(10.01f), 1.01f, 1e-5f);
    testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(sawblade::Wrap(4.2f), 4.2f);
    EXPECT_NEAR(sawblade::Wrap(4.25f), 1.25f, 1e-6f);
}

// Their pictures are the reference frames'; what those cannot see is a texture another scene left bound.
TEST_F(AnimatedSceneTest, TheTunnelAndTheSawReflectTheirOwnSurroundingsWhateverWasLeftBound) {
    EXPECT_LT(PixelsTheLeftTextureChanges(Rewound<tunnel>(), 60.0f), 320 * 480 / 50);
    EXPECT_LT(PixelsTheLeftTextureChanges(Rewound<sawblade>(), 105.0f), 320 * 480 / 50);
}

std::vector<std::string> gLogged;

TEST_F(AnimatedSceneTest, AGLErrorSkipsTheDrawWithAMessage) {
    AnimatedScene saw;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(saw.Load("Scene5", "sawblade.mas"));
    saw.LoadForContext();
    testing::internal::GetCapturedStdout();
    B3D_Camera* camera = saw.CameraNamed("Camera04.Target");
    ASSERT_NE(camera, nullptr);

    gLogged.clear();
    Host::SetLogSink([](Host::LogLevel, const char* line) { gLogged.emplace_back(line); });
    DemoSys::ResetRenderTarget();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(0x1234);  // left behind by someone else: GL_INVALID_ENUM
    testing::internal::CaptureStdout();
    saw.Render(*camera);
    testing::internal::GetCapturedStdout();
    Host::SetLogSink(nullptr);
    ASSERT_EQ(gLogged.size(), 1u);
    EXPECT_EQ(gLogged[0].rfind("scene not drawn: ", 0), 0u) << gLogged[0];
    EXPECT_TRUE(NearColour(Pixel(160, 240), 0, 255, 0)) << "nothing drawn over the clear colour";
}

// Loads the robot (in a fresh process, for a first load) from a copy of its files whose scene file goes wrong right
// after its first camera and draws a frame: 0 when load reported the error and the frame is only blue, with "-"
// (the half-read scene and its camera are not used).
class RobotLoadDeathTest : public GLTest {
protected:
    static int PlayBrokenRobot();
};

int RobotLoadDeathTest::PlayBrokenRobot() {
    TempTree tree;
    const std::string vantor = tree.MakeDir("FxData/Vantor");
    const std::string real = std::string(KESTREL_BUNDLE) + "/FxData/Vantor/";
    for (const auto& entry : std::filesystem::directory_iterator(real))
        std::filesystem::copy(entry.path(), vantor + "/" + entry.path().filename().string());
    std::ifstream in(real + "07_robot2.mas");
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const size_t second = file.find("*CAMERAOBJECT", file.find("*CAMERAOBJECT") + 1);
    tree.Write("FxData/Vantor/07_robot2.mas", file.substr(0, second) + "*CAMERAOBJECT 7\n");
    static std::string program = tree.Path() + "/kestrel";
    static char* argv[] = {program.data(), nullptr};
    BS::gApplication = new BS::LinuxApplication(1, argv);
    DemoSys::Init(&View());
    robot scene;
    scene.initWithView(&View());
    testing::internal::CaptureStdout();
    scene.load();
    DemoSys::ResetRenderTarget();
    scene.renderForFxTime(0.0f, 1.0f, 0.0f, 0.0f);
    const std::string said = testing::internal::GetCapturedStdout();
    const bool blue = NearColour(Pixel(160, 240), 0, 0, 255) && NearColour(Pixel(10, 400), 0, 0, 255);
    return said.find("GOT EXCEPTION") != std::string::npos && said.back() == '-' && blue ? 0 : 1;
}

TEST_F(RobotLoadDeathTest, ASceneFileThatFailsAfterItsFirstCameraLeavesOnlyTheBlue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(PlayBrokenRobot()), testing::ExitedWithCode(0), "");
}

TEST(ParticleStream, CarriesFractionsAndAddsNothingAtAZeroBalance) {
    ParticleStream stream(1000.0f);
    int added = 0;
    stream.Advance(0.05f, [&] { ++added; });
    EXPECT_EQ(added, 50);
    EXPECT_NEAR(stream.Balance(), 0.0f, 1e-4f);
    ParticleStream slow(10.0f);
    added = 0;
    for (int i = 0; i < 10; ++i) slow.Advance(0.025f, [&] { ++added; });
    EXPECT_EQ(added, 3);  // 2.5 owed: whole ones as soon as the balance is above 0
}

}  // namespace
