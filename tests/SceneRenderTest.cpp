// The scenes drawn on headless GL from the generated data tree, checked in
// the read-back picture.
#include <gtest/gtest.h>

#include <vector>

#include "DemoSys/DemoSys.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
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
    double Mean() const { return Brightness(0, 0, 320, 480); }
    double Centre() const { return Brightness(150, 230, 170, 250); }
    bool operator==(const Picture& other) const { return rgba == other.rgba; }
};

class SceneRenderTest : public GLTest {
protected:
    // The scenes load once for the whole program, as in the show.
    template <typename Scene>
    static Scene& Loaded() {
        static Scene* scene = [] {
            DemoSys::Init(&View());
            auto* s = new Scene();
            s->initWithView(&View());
            s->load();
            return s;
        }();
        return *scene;
    }

    static Picture Render(Effect& scene, float fxTime, float demoTime, float fxProgress) {
        DemoSys::ResetRenderTarget();
        scene.renderForFxTime(fxTime, demoTime, fxProgress, 0.0f);
        DemoSys::ResetRenderTarget();
        Picture picture;
        picture.rgba.resize(320 * 480 * 4);
        glReadPixels(0, 0, 320, 480, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return picture;
    }
};

TEST_F(SceneRenderTest, BallSceneShowsTheBallThenFlashes) {
    scene1& ball = Loaded<scene1>();
    const Picture heart = Render(ball, 0.0f, 5.0f, 0.0f);
    EXPECT_GT(heart.Mean(), 10.0) << "the background is drawn";
    EXPECT_GT(heart.Centre(), heart.Brightness(0, 0, 20, 20) + 15.0) << "the ball covers the centre";
    const Picture flash = Render(ball, 0.0f, 20.0f, 0.0f);
    EXPECT_GT(flash.Mean(), 200.0);
    const Picture shards = Render(ball, 0.0f, 23.0f, 0.0f);
    EXPECT_LT(shards.Mean(), 120.0);
}

TEST_F(SceneRenderTest, CrystalRoomIsLitAndAFunctionOfTime) {
    crystalGrowth& crystal = Loaded<crystalGrowth>();
    const Picture first = Render(crystal, 0.0f, 40.0f, 0.0f);
    EXPECT_GT(first.Mean(), 25.0);
    const auto centre = first.At(160, 240);
    EXPECT_GT(centre[2], centre[0]) << "the ice-blue crystal sits in the middle";
    EXPECT_TRUE(first == Render(crystal, 0.0f, 40.0f, 0.0f)) << "drawing twice gives the same picture";
    EXPECT_FALSE(first == Render(crystal, 0.0f, 40.5f, 0.0f));
}

TEST_F(SceneRenderTest, OverlayMorphsBetweenItsDrawings) {
    overlay& picture = Loaded<overlay>();
    const Picture sun = Render(picture, 0.0f, 0.0f, 0.5f);
    const auto centre = sun.At(160, 240);
    EXPECT_GT(centre[0], 200) << "the sun's core is yellow";
    EXPECT_GT(centre[1], 150);
    EXPECT_GT(sun.Brightness(0, 0, 20, 20), 5.0) << "the sea behind it";
    const Picture start = Render(picture, 0.0f, 0.0f, 0.0f);
    const Picture end = Render(picture, 0.0f, 0.0f, 1.0f);
    EXPECT_FALSE(start == end);
    EXPECT_FALSE(start == sun);
}

TEST_F(SceneRenderTest, JellyfishSwimsAndTheCreditsRiseAtTheEnd) {
    manetjakt& hunt = Loaded<manetjakt>();
    manetjakt::Rewind();
    const Picture early = Render(hunt, 5.0f, 144.4f, 0.0f);
    EXPECT_GT(early.Mean(), 15.0);
    const Picture before = Render(hunt, 23.0f, 162.4f, 0.0f);
    const Picture credits = Render(hunt, 31.0f, 170.4f, 0.0f);
    int bright = 0;
    for (size_t i = 0; i < credits.rgba.size(); i += 4) bright += credits.rgba[i] > 200 && credits.rgba[i + 2] > 200;
    EXPECT_GT(bright, 2000) << "the scroller's letters";
    EXPECT_GT(credits.Mean(), before.Mean());
}

TEST_F(SceneRenderTest, ParticleFigureStartsOverItsBackground) {
    particleScene& figure = Loaded<particleScene>();
    particleScene::Rewind();
    const Picture start = Render(figure, 0.5f, 82.5f, 0.0f);
    EXPECT_GT(start.Mean(), 5.0);
    // The particle cloud is brighter than the dim background around it.
    const Picture later = Render(figure, 2.0f, 84.0f, 0.0f);
    EXPECT_GT(later.Brightness(120, 200, 200, 280), later.Brightness(0, 0, 40, 40));
}

}  // namespace
