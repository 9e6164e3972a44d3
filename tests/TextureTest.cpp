// The texture cache and the CPU copy of mipmapped textures, on headless GL.
#include <GLES2/gl2.h>

#include <utility>
#include <vector>

#include "DemoSys/GLTexture.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "GLTestSupport.h"
#include "Linux/Source/PngFile.h"
#include "TempTree.h"

namespace {

class TextureTest : public GLTest {
protected:
    // A 4 x 4 picture whose pixel (row, column) has red = 16 * row, green =
    // 16 * column; the top-left pixel is fully transparent.
    std::string WriteGrid(const std::string& name) {
        std::vector<uint8_t> rgba(4 * 4 * 4);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                uint8_t* p = &rgba[(row * 4 + column) * 4];
                p[0] = static_cast<uint8_t>(16 * row);
                p[1] = static_cast<uint8_t>(16 * column);
                p[2] = 200;
                p[3] = row == 0 && column == 0 ? 0 : 255;
            }
        const std::string path = mTree.Path() + "/" + name;
        std::string error;
        EXPECT_TRUE(WritePng(path, 4, 4, rgba.data(), error)) << error;
        return path;
    }

    TempTree mTree;
};

TEST_F(TextureTest, TexturesAreClampedAtTheirEdgesWithTheFiltersAsked) {
    const GLuint texture = NewClampedTexture(GL_LINEAR, GL_NEAREST);
    const std::pair<GLenum, GLint> expected[] = {{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                                 {GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                                                 {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
                                                 {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}};
    for (const auto& [parameter, value] : expected) {
        GLint set = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &set);
        EXPECT_EQ(set, value) << std::hex << parameter;
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureTest, SecondLoadOfAPathSharesTheTextureWithoutACpuCopy) {
    const std::string path = WriteGrid("shared.png");
    SimpleMaterial first, second;
    first.LoadTexture(path);
    second.LoadTexture(path);
    EXPECT_EQ(first.mTexture, second.mTexture);
    EXPECT_TRUE(first.HasTexture());
    EXPECT_FALSE(second.HasTexture());
    EXPECT_EQ(glIsTexture(first.mTexture), GL_TRUE);
}

TEST_F(TextureTest, RectFirstAnswersTheRectTextureAndNoCopy) {
    const std::string path = WriteGrid("rect.png");
    const GLuint rect = SimpleMaterial::LoadRectTextureFromFile(path);
    SimpleMaterial material;
    EXPECT_EQ(material.LoadTextureFromFile(path), rect);
    EXPECT_FALSE(material.HasTexture());
    glBindTexture(GL_TEXTURE_2D, rect);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST);
}

TEST_F(TextureTest, AnUnreadablePictureIsReportedByItsPathAndLeavesNoPixels) {
    const std::string missing = mTree.Path() + "/missing.png";
    const std::string notAPicture = mTree.Write("text.png", "not a picture");
    testing::internal::CaptureStderr();
    SimpleMaterial material;
    material.LoadTexture(missing);
    SimpleMaterial::LoadRectTextureFromFile(notAPicture);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("texture " + missing + ": "), std::string::npos) << log;
    EXPECT_NE(log.find("texture " + notAPicture + ": "), std::string::npos) << log;
    EXPECT_EQ(material.mPixelWidth, 0);
    EXPECT_EQ(material.mPixelHeight, 0);
}

TEST_F(TextureTest, GetPixelReadsRowsTopDownPremultiplied) {
    SimpleMaterial material;
    material.LoadTexture(WriteGrid("grid.png"));
    ASSERT_TRUE(material.HasTexture());
    EXPECT_EQ(material.mPixelWidth, 4);
    float p[4];
    material.GetPixel(0.0f, 0.0f, p);  // the transparent corner
    for (float c : p) EXPECT_FLOAT_EQ(c, 0.0f);
    material.GetPixel(0.5f, 0.5f, p);  // row 2, column 2
    EXPECT_NEAR(p[0], 32.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p[1], 32.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p[3], 1.0f, 1e-6f);
    material.GetPixel(0.26f, 0.9f, p);  // row 3, column 1
    EXPECT_NEAR(p[0], 48.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p[1], 16.0f / 255.0f, 1e-6f);
    // Outside [0, 1) the lookup stays inside the picture.
    material.GetPixel(1.0f, -3.0f, p);
    EXPECT_NEAR(p[0], 0.0f, 1e-6f);
    EXPECT_NEAR(p[1], 48.0f / 255.0f, 1e-6f);

    // A picture one row high is a picture too.
    const uint8_t row[8] = {10, 20, 30, 255, 200, 100, 50, 255};
    std::string error;
    ASSERT_TRUE(WritePng(mTree.Path() + "/row.png", 2, 1, row, error)) << error;
    SimpleMaterial strip;
    strip.LoadTexture(mTree.Path() + "/row.png");
    ASSERT_TRUE(strip.HasTexture());
    strip.GetPixel(0.75f, 0.5f, p);
    EXPECT_NEAR(p[0], 200.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p[2], 50.0f / 255.0f, 1e-6f);
    // The list of loaded textures gives width before height.
    testing::internal::CaptureStdout();
    SimpleMaterial::DebugTextures();
    const std::string listed = testing::internal::GetCapturedStdout();
    EXPECT_NE(listed.find(" > " + mTree.Path() + "/row.png [   2 x   1 ]\n"), std::string::npos) << listed;
}

TEST_F(TextureTest, UndecodableFileGivesAnEmptyCachedTexture) {
    const std::string path = mTree.Write("broken.png", "not a picture");
    SimpleMaterial material;
    const GLuint name = material.LoadTextureFromFile(path);
    EXPECT_NE(name, static_cast<GLuint>(-1));
    EXPECT_FALSE(material.HasTexture());
    EXPECT_EQ(SimpleMaterial::LoadRectTextureFromFile(path), name);
    float p[4] = {1, 1, 1, 1};
    material.GetPixel(0.5f, 0.5f, p);
    for (float c : p) EXPECT_FLOAT_EQ(c, 0.0f);
}

}  // namespace
