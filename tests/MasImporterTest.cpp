// The MAS importer on small files written here: timing, materials, node
// transforms, meshes, skins, tracks, and malformed input. Morph frames animate no file of the show and are left
// to the malformed inputs; values that a written scene brings back unchanged are left to MasRoundTripTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Mesh.h"
#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "GLTestSupport.h"
#include "Linux/Source/PngFile.h"
#include "TempTree.h"

namespace {

const char* const kHeader = "*3DSMAX_ASCIIEXPORT 330\n";

const char* const kTriangle =
    "*GEOMOBJECT {\n"
    " *NODE_TM {\n  *NODE_NAME \"Tri\"\n  *TM_POS 1 2 3\n }\n"
    " *MESH {\n  *MESH_NUMVERTEX 3\n  *MESH_NUMFACES 1\n"
    "  *MESH_VERTEX_LIST {\n   0 0 0\n   1 0 0\n   0 1 0\n  }\n"
    "  *MESH_FACE_LIST {\n   0 1 2\n  }\n";

class MasImporterTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        mScene = std::make_unique<DAS>(&mWorld);
    }
    // Imports the header and body; answers the error message, empty when there was none.
    std::string Import(const std::string& body, const std::string& header = kHeader) {
        testing::internal::CaptureStdout();
        std::string error;
        try {
            DAS_MAS_Importer importer(mScene.get(), nullptr);
            const std::string text = header + body;
            importer.ImportBytes(text.data(), text.size(), mTree.Path() + "/");
        } catch (const BS::Error& e) {
            error = e.mMessage;
        }
        mOut = testing::internal::GetCapturedStdout();
        return error;
    }
    DAS_MeshNode* Mesh(size_t i = 0) const { return mScene->Meshes().at(i); }

    TempTree mTree;
    B3D_World mWorld;
    std::unique_ptr<DAS> mScene;
    std::string mOut;
};

TEST_F(MasImporterTest, SceneTimingConvertsFramesAndTicks) {
    EXPECT_EQ(Import("*scene {\r\n\t*SCENE_FRAMESPEED 25\r\n\r\n*SCENE_LASTFRAME 100\r\n}\r\n"
                     "*GEOMOBJECT {\n *TM_ANIMATION {\n  *NODE_NAME \"X\"\n  *CONTROL_POS_TRACK {\n"
                     "   *SAMPLES {\n    4000 1 2 3\n   }\n  }\n }\n}\n"),
              "");
    EXPECT_FLOAT_EQ(mScene->LastTime(), 4.0f);
    const auto& keys = Mesh()->mAnimator.PositionKeys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_FLOAT_EQ(keys[0].Time(), 1.0f);  // 4000 ticks at 25 frames of 160 ticks
    EXPECT_FLOAT_EQ(keys[0].Position().x, -1.0f);
    EXPECT_FLOAT_EQ(keys[0].Position().z, -3.0f);
}

TEST_F(MasImporterTest, MeshNodesKeepTheirScaleApartFromTheTransform) {
    std::string scaled = kTriangle;
    scaled.insert(scaled.find("  *TM_POS"), "  *TM_SCALE 2 3 0.5\n");
    ASSERT_EQ(Import(scaled + " }\n}\n"), "");
    const float expected[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(Mesh()->mScaleMatrix.m[i], expected[i]) << i;
    B3D_Mesh* mesh = Mesh()->Mesh();
    EXPECT_FLOAT_EQ(mesh->mTransform.m[0], 1.0f);
    EXPECT_FLOAT_EQ(mesh->mTransform.m[12], -1.0f);
    EXPECT_FLOAT_EQ(mesh->mInverseBaseTransform.m[13], -2.0f);
    EXPECT_EQ(mesh->Name(), "Tri");
    // Without a normals block every corner's normal is flat; without frames no per-frame work.
    for (const BS::Vector3& n : Mesh()->mFaceAnimator.mFaces.at(0).mKeys.at(0).normals) EXPECT_FLOAT_EQ(n.z, 0.0f);
    EXPECT_FALSE(Mesh()->mVertexAnimator.Animated());
    EXPECT_FALSE(Mesh()->mFaceAnimator.Animated());
}

TEST_F(MasImporterTest, TextureCoordinatesNormalsAndTheDegreeScale) {
    ASSERT_EQ(Import(std::string(kTriangle) +
                     "  *MESH_NORMALS {\n   *MESH_FACENORMAL 0 0 0 1\n   *MESH_VERTEXNORMAL 0 0 0 1\n  }\n"
                     "  *MESH_MAPPINGCHANNEL 1 {\n   *MESH_TVERTLIST {\n    0 0 0\n    1 0 0\n    0 1 0\n    180 0 0\n   }\n"
                     "   *MESH_TFACELIST {\n    0 1 2\n   }\n  }\n }\n}\n"),
              "");
    // Corners a, c, b take (0, 1), (0, 0), (1, 1): the unused 180 scales nothing.
    EXPECT_FLOAT_EQ(Mesh()->Mesh()->TextureVertex(0)[1], 1.0f);
    EXPECT_FLOAT_EQ(Mesh()->Mesh()->TextureVertex(1)[0], 1.0f);
    // The vertex normal (0, 0, 1) of the file is (0, 1, 0) here.
    EXPECT_FLOAT_EQ(Mesh()->mFaceAnimator.mFaces.at(0).mKeys.at(0).normals[0].y, 1.0f);

    SetUp();
    ASSERT_EQ(Import(std::string(kTriangle) +
                     "  *MESH_MAPPINGCHANNEL 1 {\n   *MESH_TVERTLIST {\n    180 0 0\n    90 0 0\n    0 1 0\n   }\n"
                     "   *MESH_TFACELIST {\n    0 1 2\n   }\n  }\n }\n}\n"),
              "");
    EXPECT_NEAR(Mesh()->Mesh()->TextureVertex(0)[0], 0.5f, 1e-6f);  // 180 / 360
    EXPECT_NEAR(Mesh()->Mesh()->TextureVertex(1)[0], 0.25f, 1e-6f);
    EXPECT_FLOAT_EQ(Mesh()->mFaceAnimator.mFaces.at(0).mKeys.at(0).textureCoordinates[0].x, 180.0f);
}

TEST_F(MasImporterTest, SkinTransformsAndWeights) {
    ASSERT_EQ(Import(std::string(kTriangle) + " }\n" +
                     " *MESH_SKIN_MODIFIER {\n  *SKIN_INIT_TM {\n   *TM_ROW0 1 0 0\n   *TM_ROW1 0 1 0\n   *TM_ROW2 0 0 1\n"
                     "   *TM_ROW3 5 6 7\n  }\n  *SKIN_BONE {\n   *BONE_NAME \"Bone01\"\n   *BONE_INIT_TM {\n    *TM_ROW3 1 0 0\n   }\n"
                     "   *BONE_VERTICES {\n    0 0.25\n    2 1.0\n   }\n  }\n }\n}\n"),
              "");
    const float expected[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 5, 6, 7, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(Mesh()->mSkinInitTransform.m[i], expected[i]) << i;
    EXPECT_TRUE(Mesh()->mSkinInitTransform * Mesh()->mInverseSkinInitTransform == BS::Matrix44());
    ASSERT_EQ(Mesh()->Bones().size(), 1u);
    const auto& influences = Mesh()->mVertexAnimator.mVertices.at(0).mInfluences;
    ASSERT_EQ(influences.size(), 1u);
    EXPECT_FLOAT_EQ(influences[0].weight, 0.25f);
    EXPECT_EQ(influences[0].bone, Mesh()->Bones()[0]);
    EXPECT_TRUE(Mesh()->mVertexAnimator.mVertices.at(1).mInfluences.empty());
}

TEST_F(MasImporterTest, MaterialsAreNamedByTheirPicturesAndReferencedAcrossLists) {
    const std::vector<uint8_t> pixel = {10, 20, 30, 255};
    std::string error;
    ASSERT_TRUE(WritePng(mTree.Path() + "/manet.png", 1, 1, pixel.data(), error));
    ASSERT_EQ(Import("*MATERIAL_LIST {\n *MATERIAL_COUNT 2\n *MAP_DIFFUSE {\n  *BITMAP \"stray.png\"\n }\n"
                     " *MATERIAL 0 {\n  *MAP_DIFFUSE {\n   *BITMAP \"C:\\maps\\manet.png\"\n  }\n }\n"
                     " *MATERIAL 1 {\n  *MAP_REFLECT {\n   *BITMAP \"white.png\"\n  }\n }\n}\n"
                     "*MATERIAL_LIST {\n *MATERIAL_COUNT 1\n *MATERIAL 0 {\n  *MAP_REFLECT {\n   *BITMAP \"second.png\"\n  }\n }\n}\n"
                     "*GEOMOBJECT {\n *MATERIAL_REF 5\n}\n*GEOMOBJECT {\n *MATERIAL_REF 2\n}\n"),
              "");
    const auto& materials = mScene->Materials();
    ASSERT_EQ(materials.size(), 4u);
    EXPECT_EQ(materials[1]->mName, "manet.png");
    EXPECT_TRUE(materials[1]->mMaterial->HasTexture());
    EXPECT_NE(mOut.find("LOAD TEXTURE: " + mTree.Path() + "/manet.png\n"), std::string::npos);
    EXPECT_EQ(mOut.find("stray.png"), std::string::npos);  // a picture outside any material is dropped
    EXPECT_EQ(materials[2]->mName, "white.png");
    EXPECT_EQ(materials[3]->mName, "second.png");
    EXPECT_EQ(Mesh(0)->Mesh()->Material(), materials[1]->mMaterial);  // out of range: the first
    EXPECT_EQ(Mesh(1)->Mesh()->Material(), materials[3]->mMaterial);
    EXPECT_EQ(Mesh(1)->Mesh()->mModel.GetRenderLists()[0]->GetMaterial(), materials[3]->mMaterial);  // what it draws with

    SetUp();
    ASSERT_EQ(Import("*GEOMOBJECT {\n *MATERIAL_REF 0\n}\n"), "");
    EXPECT_EQ(Mesh()->Mesh()->Material(), mScene->Materials()[0]->mMaterial);
}

TEST_F(MasImporterTest, ARotationSampleAtTickZeroTakesTheNodeTransformsPlace) {
    ASSERT_EQ(Import("*GEOMOBJECT {\n *NODE_TM {\n  *TM_ROTAXIS 0 0 1\n  *TM_ROTANGLE 1\n  *TM_POS 1 0 0\n }\n"
                     " *TM_ANIMATION {\n  *NODE_NAME \"G\"\n  *CONTROL_POS_TRACK {\n   *SAMPLES {\n    0 4 0 0\n   }\n  }\n"
                     "  *CONTROL_ROT_TRACK {\n   *SAMPLES {\n    0 0.00001 0 0 2\n    4800 0 1 0 0.5\n   }\n  }\n }\n}\n"),
              "");
    const DAS_ObjectAnimator& a = Mesh()->mAnimator;
    ASSERT_EQ(a.PositionKeys().size(), 1u);
    EXPECT_FLOAT_EQ(a.PositionKeys()[0].Position().x, -4.0f);
    ASSERT_EQ(a.RotationKeys().size(), 2u);
    EXPECT_NEAR(a.RotationKeys()[0].GetQuaternion().Matrix().m[0], 1.0f, 1e-6f);  // a vanishing axis: no turn
    const BS::Matrix44 turned = a.RotationKeys()[1].GetQuaternion().Matrix();
    BS::Matrix44 expected;
    expected.SetRotationY(-0.5f);  // the file's y axis is negated
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(turned.m[i], expected.m[i], 1e-5f) << i;
}

TEST_F(MasImporterTest, LexicalRules) {
    // Lower-case keywords, "12:" integers, an unclosed quote, a last line
    // without its line break, and an unknown block whose "}" ends the mesh.
    ASSERT_EQ(Import("*geomobject {\n *node_tm {\n  *node_name \"Open quote\n }\n"
                     " *MESH {\n  *MESH_VERTEX_LIST {\n   1.0 2.0 3.0\n   4 5 6\n  }\n"
                     "  *MESH_SURPRISE {\n   *SURPRISE_VALUE 1\n  }\n"
                     "  *MESH_VERTEX_LIST {\n   7 8 9\n  }\n"
                     "*SCENE {\n *SCENE_LASTFRAME 30:\n}"),
              "");
    EXPECT_EQ(Mesh()->mName, "Open quote");
    B3D_Mesh* mesh = Mesh()->Mesh();
    ASSERT_EQ(mesh->VertexNum(), 2u);  // the third list was read by the geometry object, which ignores it
    EXPECT_FLOAT_EQ(mesh->Vertex(0)[0], -1.0f);
    EXPECT_FLOAT_EQ(mesh->Vertex(0)[2], -3.0f);
    EXPECT_FLOAT_EQ(mScene->LastTime(), 0.0f);  // the closing "}" had no line break
}

TEST_F(MasImporterTest, LineNumbersCountBreaksSplitBetweenPieces) {
    // The file is read in pieces of 8192 bytes: the second line's break
    // straddles the first boundary (CR | LF), or ends it and a blank line
    // follows; last, blank lines first with the old line end alone.
    const std::string header = "*3DSMAX_ASCIIEXPORT 330\r\n";
    const std::string start = header + "*COMMENT " + std::string(8191 - header.size() - 9, 'x');
    ASSERT_EQ(start.size(), 8191u);
    const std::pair<std::string, int> cases[] = {{start + "\r\n*SCENE\r\n", 3},
                                                 {start + "\r\r\n\n*SCENE\n", 4},
                                                 {start + "\n\n*SCENE\n", 4},
                                                 {start + "\r" + std::string(8192, '\r') + "\n*SCENE\n", 3},
                                                 {"\r\r*3DSMAX_ASCIIEXPORT 330\r*SCENE\r", 4}};
    for (const auto& [text, line] : cases) {
        SetUp();
        const std::string error = Import(text, "");
        EXPECT_EQ(error.substr(std::min(error.rfind(" (line"), error.size())), " (line " + std::to_string(line) + ")")
            << text.substr(text.size() - 12);
    }
}

TEST_F(MasImporterTest, TheEndOfTheFileIsReportedForWhatWasLost) {
    const std::string unread = "end.mas: the last line has no line end and is not read\n";
    const std::string open = "end.mas: the scene file ends inside an open block\n";
    const std::pair<std::string, std::string> cases[] = {
        {"*GEOMOBJECT {\n}\n", ""},
        {"*GEOMOBJECT {\n}\n*COMMENT \"no end\"", unread},
        {"*GEOMOBJECT {\n *NODE_TM {\n }\n", open},
        {"*GEOMOBJECT {\n}", unread + open},  // the lost "}" closed the block
    };
    for (const auto& [text, expected] : cases) {
        SetUp();
        mTree.Write("end.mas", kHeader + text);
        BS::Directory directory = BS::Directory::Adopt(new BS::PosixDirectory(mTree.Path()));
        std::unique_ptr<BS::File> file(directory.OpenFile("end.mas", BS::File::kRead));
        testing::internal::CaptureStderr();
        mScene->InsertFromMAS(file.get(), directory, nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), expected) << text;
    }
}

TEST_F(MasImporterTest, TokensOverTheLimitEndTheirLine) {
    const std::string name1023 = "*" + std::string(1022, 'X');
    ASSERT_EQ(Import(name1023 + "\n" + name1023 + " more\n*GEOMOBJECT {\n *NODE_TM {\n  *NODE_NAME " +
                     std::string(1030, 'n') + "\n" + std::string(1012, ' ') + "*NODE_NAME short\n" +
                     std::string(1013, ' ') + "*NODE_NAME other\n }\n}\n"),
              "");
    EXPECT_EQ(Mesh()->mName, "short");  // blanks, keyword and the blank after it fill the 1024 bytes in the second
}

// Each refused, naming the line at fault.
TEST_F(MasImporterTest, MalformedFilesAreRefusedWithTheLine) {
    struct Case {
        std::string body;
        int line;
        const char* header = kHeader;
    };
    std::string intervals = "*CAMERAOBJECT {\n *CAMERA_SETTINGS {\n";  // 32 intervals from line 4
    for (int i = 0; i < 32; ++i) intervals += "  *CAMERA_START_FRAME 0\n  *CAMERA_END_FRAME 1\n";
    const std::string facesFrom = std::string(kTriangle).substr(0, std::string(kTriangle).find("   0 1 2"));
    const Case cases[] = {
        {"*SCENE {\n *SCENE_LASTFRAME 30\n}\n", 1, "*3DSMAX_ASCIIEXPORT 200\n"},  // another version, before all else
        {intervals + "  *CAMERA_START_FRAME 2\n", 68},
        {intervals + "  *CAMERA_END_FRAME 2\n", 68},
        {"*SCENE\n", 2},
        {"*GEOMOBJECT [\n", 2},
        {"*GEOMOBJECT {\n *NODE_TM (\n", 3},
        {facesFrom + "   0 1 3\n", 16},
        {facesFrom + "   -1 1 2\n", 16},
        {"*LIGHTOBJECT {\n *LIGHT_TYPE Spot\n", 3},
        {"*GEOMOBJECT {\n *TM_ANIMATION {\n  *CONTROL_ROT_TRACK\n", 4},
        {"*GEOMOBJECT {\n *MESH_SKIN_MODIFIER {\n }\n *TM_ANIMATION {\n  *CONTROL_POS_TRACK {\n   *SAMPLES x\n", 7},
        {"*MATERIAL_LIST {\n *MATERIAL_COUNT 999999999\n", 3},
        {"*MATERIAL_LIST {\n *MATERIAL_COUNT 1\n *MATERIAL 3 {\n", 4},
        {std::string(kTriangle) + "  *MESH_NORMALS {\n   *MESH_VERTEXNORMAL 7 0 0 1\n", 19},
        {"*GEOMOBJECT {\n *MESH_SKIN_MODIFIER {\n  *SKIN_BONE {\n   *BONE_VERTICES {\n    5 1.0\n", 6},
        {"*GEOMOBJECT {\n *MESH_SKIN_MODIFIER {\n  *SKIN_BONE x\n", 4},
        {"*GEOMOBJECT {\n *NODE_TM {\n  *TM_POS 1 1 1\n }\n *NODE_TM {\n  *TM_POS 2 2 2\n", 7},  // a key's time twice
    };
    for (const Case& c : cases) {
        SetUp();
        const std::string error = Import(c.body, c.header), line = " (line " + std::to_string(c.line) + ")";
        EXPECT_TRUE(error.size() > line.size() && error.compare(error.size() - line.size(), line.size(), line) == 0)
            << c.body << ": " << error;
        EXPECT_FLOAT_EQ(mScene->LastTime(), 0.0f) << c.body;
    }
}

}  // namespace

// Inputs that once troubled the importer (and hostile ones written by hand):
// each is refused or read, prepared and animated without harm.
TEST_F(MasImporterTest, RegressionInputsAreHandled) {
    const std::string folder = std::string(KESTREL_SOURCE_DIR) + "/tests/data/mas-regressions";
    BS::Directory directory = BS::Directory::Adopt(new BS::PosixDirectory(folder));
    int files = 0;
    for (const std::string& name : directory.GetFileListing()) {
        std::unique_ptr<BS::File> file(directory.OpenFile(name, BS::File::kRead));
        B3D_World world;
        DAS scene(&world);
        testing::internal::CaptureStdout();
        try {
            scene.InsertFromMAS(file.get(), directory, nullptr);
            scene.Prepare();
            scene.Animate(0.5f);
            scene.Animate(1e9f);
        } catch (const BS::Error&) {
        }
        testing::internal::GetCapturedStdout();
        ++files;
    }
    EXPECT_GE(files, 3);
}
