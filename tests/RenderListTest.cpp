// Render lists on headless GL: when edits reach the GPU and what a draw leaves bound. The models' pictures are the
// reference frames'; the shadow pass, its target and the models' extents serve no drawing of the show.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
#include <gtest/gtest.h>

#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/VertexArrays.h"
#include "DemoSys/Riraru3Z/Shader.h"
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

}  // namespace
