// The texture cache on headless GL, and pictures that cannot be read.
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
    // A 4 x 4 picture: pixel (row, column) has red 16 row, green 16 column; the top-left one is transparent.
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

// A path is decoded once: later loads share its texture without a CPU copy, and a
// rect texture loaded first, nearest-filtered, is what a later load answers.
TEST_F(TextureTest, LaterLoadsOfAPathShareItsTextureWithoutACpuCopy) {
    const std::string path = WriteGrid("shared.png");
    SimpleMaterial first, second, third;
    first.LoadTexture(path);
    second.LoadTexture(path);
    EXPECT_EQ(first.mTexture, second.mTexture);
    EXPECT_TRUE(first.HasTexture());
    EXPECT_FALSE(second.HasTexture());
    EXPECT_EQ(glIsTexture(first.mTexture), GL_TRUE);
    const std::string rectPath = WriteGrid("rect.png");
    const GLuint rect = SimpleMaterial::LoadRectTextureFromFile(rectPath);
    EXPECT_EQ(third.LoadTextureFromFile(rectPath), rect);
    EXPECT_FALSE(third.HasTexture());
    glBindTexture(GL_TEXTURE_2D, rect);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST);
}

// Unreadable pictures are logged by path and cached as empty textures without pixels.
TEST_F(TextureTest, AnUnreadablePictureIsReportedAndGivesAnEmptyCachedTexture) {
    const std::string missing = mTree.Path() + "/missing.png";
    const std::string notAPicture = mTree.Write("text.png", "not a picture");
    testing::internal::CaptureStderr();
    SimpleMaterial material, broken;
    material.LoadTexture(missing);
    const GLuint name = broken.LoadTextureFromFile(notAPicture);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("texture " + missing + ": "), std::string::npos) << log;
    EXPECT_NE(log.find("texture " + notAPicture + ": "), std::string::npos) << log;
    EXPECT_EQ(material.mPixelWidth, 0);
    EXPECT_EQ(material.mPixelHeight, 0);
    EXPECT_NE(name, static_cast<GLuint>(-1));
    EXPECT_FALSE(broken.HasTexture());
    EXPECT_EQ(SimpleMaterial::LoadRectTextureFromFile(notAPicture), name);
}

}  // namespace
