// Render lists, models and the camera's shadow target on headless GL: when edits reach the GPU, what a draw leaves
// bound, the shadow pass, the bounding square; the models' pictures are the reference frames'.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/ObjReader.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/VertexArrays.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleCamera.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "GLTestSupport.h"
#include "TempTree.h"

namespace {

const BS::Matrix44 kIdentity;

class RenderListTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        DemoSys::ResetRenderTarget();
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // A flat red program; it has no "shadowMatrix", so that uniform is skipped.
    Shader* RedShader() {
        mTree.Write("red.vsh",
                    "attribute vec4 pos;\nuniform mat4 modelViewProjectionMatrix;\n"
                    "void main() { gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0); }\n");
        mTree.Write("red.fsh", "precision mediump float;\nvoid main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n");
        return Shader::LoadShader(mTree.Path() + "/red");
    }

    // Two triangles covering x0..x1 by y0..y1 in clip space.
    static void AddRectangle(RenderList& list, float x0, float x1, float y0, float y1) {
        const float corners[6][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y0}, {x1, y1}, {x0, y1}};
        for (const auto& c : corners) {
            RenderListVertex v{};
            v.x = c[0];
            v.y = c[1];
            list.AddVertex(v);
        }
    }
    static bool Red(int x, int y) { return NearColour(Pixel(x, y), 255, 0, 0); }

    TempTree mTree;
};

TEST_F(RenderListTest, EditsReachTheGpuOnlyAfterFlush) {
    RenderList list;
    list.SetShaderProgram(RedShader());
    AddRectangle(list, -1.0f, 0.0f, -1.0f, 1.0f);  // the left half
    list.Render(kIdentity, kIdentity, kIdentity);
    EXPECT_TRUE(list.IsDrawn());
    EXPECT_TRUE(Red(80, 240));
    EXPECT_FALSE(Red(240, 240));

    Array<RenderListVertex>& v = list.GetVertices();
    for (int i = 0; i < v.Count(); ++i) v[i].x += 1.0f;  // move to the right half
    glClear(GL_COLOR_BUFFER_BIT);
    list.Render(kIdentity, kIdentity, kIdentity);
    EXPECT_TRUE(Red(80, 240)) << "drawn from the buffer uploaded before";

    list.Flush();
    glClear(GL_COLOR_BUFFER_BIT);
    list.Render(kIdentity, kIdentity, kIdentity);
    EXPECT_FALSE(Red(80, 240));
    EXPECT_TRUE(Red(240, 240));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint buffer = -1, vertexArray = -1;  // nothing stays bound for the draws that follow
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(buffer, 0);
    ASSERT_TRUE(VertexArrays::Available());  // Mesa's GLES2 has vertex array objects
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING_OES, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
}

// The shadow pass draws with the shadow-map shader through its first matrix alone, and leaves the list open for
// more vertices: only the real draw closes it.
TEST_F(RenderListTest, AShadowPassDrawsThroughItsFirstMatrixAndLeavesTheListOpen) {
    RenderList list;
    list.SetShaderProgram(RedShader());
    AddRectangle(list, -1.0f, 0.0f, -1.0f, 1.0f);  // the left half
    // The shadow-map shader drops cut-out texels: an opaque picture on unit 0, not what an earlier test left there.
    const unsigned char opaque[4] = {255, 255, 255, 255};
    const GLuint texture = MakeTexture(1, 1, opaque);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    BS::Matrix44 toTheRight;
    toTheRight.m[12] = 1.0f;
    const float zeros[16] = {};
    list.RenderShadowMap(toTheRight, BS::Matrix44(zeros));

    const std::array<int, 4> right = Pixel(240, 240);
    EXPECT_LT(right[2], 10) << "the shadow-map shader writes no blue";
    EXPECT_FALSE(Red(240, 240)) << "not the list's own shader";
    EXPECT_TRUE(NearColour(Pixel(80, 240), 0, 0, 255)) << "moved by the first matrix";
    ASSERT_FALSE(list.IsDrawn());
    list.AddVertex(RenderListVertex{});  // would end the process after a real draw
    EXPECT_EQ(list.GetVertices().Count(), 7);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}

TEST_F(RenderListTest, ExtremesWidenOverEveryVertex) {
    RenderList list;
    RenderListVertex a{}, b{};
    a.x = 1, a.y = 2, a.z = 3;
    b.x = -1, b.y = 5, b.z = 0;
    list.AddVertex(a);
    list.AddVertex(b);
    float minX = 100000, maxY = -100000, minZ = 100000, maxX = -100000, minY = 100000, maxZ = -100000;
    list.UpdateExtremes(minX, maxY, minZ, maxX, minY, maxZ);
    EXPECT_EQ(std::vector<float>({minX, maxX, minY, maxY, minZ, maxZ}), std::vector<float>({-1, 1, 2, 5, 0, 3}));
    // Normal components travel as signed bytes of 127, truncated.
    for (const auto& [component, packed] : {std::pair{1.0f, 127}, {-1.0f, -127}, {0.5f, 63}, {-0.25f, -31}})
        EXPECT_EQ(PackedNormal(component), packed) << component;
}

TEST_F(RenderListTest, ExtentsAndBoundingBox) {
    SimpleModel fresh;  // before its extremes are taken, a point at its origin
    for (float extent : fresh.mExtents) EXPECT_EQ(extent, 0.0f);
    fresh.mTransform.SetPosition(BS::Vector3(3, 4, 0));
    EXPECT_FLOAT_EQ(fresh.GetBoundingBox().width, 0.0f);
    EXPECT_FLOAT_EQ(fresh.GetBoundingBox().x, 3.0f);

    SimpleModel model;
    RenderListVertex v{};
    v.x = 1, v.y = 2, v.z = 3;
    model.NewRenderList()->AddVertex(v);
    model.UpdateExtremes();
    const float single[6] = {2, 2, 1, 1, 3, 3};
    for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(model.mExtents[i], single[i]) << i;

    const float extents[6] = {2, -2, -1, 1, 1, 0};
    for (int i = 0; i < 6; ++i) model.mExtents[i] = extents[i];
    model.mTransform.SetPosition(BS::Vector3(10, 20, 0));
    const Rect box = model.GetBoundingBox();
    EXPECT_EQ(std::vector<float>({box.x, box.y, box.width, box.height}), std::vector<float>({8, 18, 4, 4}));
    // The square centres on where the transform puts the model's origin: a turned model keeps its centre.
    BS::Matrix44 turned;
    turned.Rotate(BS::Vector3(1, 0, 0), 1.2f);
    turned.Rotate(BS::Vector3(0, 1, 0), 0.7f);
    turned.Translate(BS::Vector3(10, 20, 5));
    model.mTransform = turned;
    const Rect turnedBox = model.GetBoundingBox();
    EXPECT_NEAR(turnedBox.x + turnedBox.width / 2, 10.0f, 1e-4f);
    EXPECT_NEAR(turnedBox.y + turnedBox.height / 2, 20.0f, 1e-4f);
}

TEST_F(RenderListTest, TheCamerasShadowTargetIsCompleteAndReadTexelByTexel) {
    SimpleCamera camera;
    glBindFramebuffer(GL_FRAMEBUFFER, camera.GetShadowFramebuffer());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint depth = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depth);
    EXPECT_EQ(depth, GL_RENDERBUFFER);  // the shadow pass is depth-tested
    GLint name = 0, width = 0, height = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(name));
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    EXPECT_EQ(std::pair(width, height), std::pair(256, 256));
    // The shadow picture is read texel by texel: stretched over the larger screen, a hard edge in it stays hard
    // (depths must not be blended).
    glViewport(0, 0, 256, 256);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 128, 256);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    DemoSys::Init(&View());
    DemoSys::ResetRenderTarget();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, camera.GetShadowTexture());
    DemoSys::DrawRect(0, 0, 480, 320, 0, DemoSys::kWhite);
    int hard = 0;
    for (int x = 0; x < 320; ++x) {
        const int red = Pixel(x, 240)[0];
        EXPECT_TRUE(red < 3 || red > 252) << x << ": " << red;
        hard += red > 252;
    }
    EXPECT_NEAR(hard, 160, 2);  // and the picture reaches the screen
}

}  // namespace
