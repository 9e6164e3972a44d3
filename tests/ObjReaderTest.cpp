// The OBJ/MTL reader: byte packing, primitives, materials, and files that break the subset's rules. Forms the data
// generator never writes (position//normal, a bare usemtl) are held only to the rules' breaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DemoSys/Riraru3Z/ObjReader.h"
#include "DemoSys/Riraru3Z/RenderList.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/SimpleModel.h"
#include "GLTestSupport.h"
#include "TempTree.h"

namespace {

const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n";
const char* const kFace = "f 1/1/1 2/2/1 3/3/1\n";

class ObjReaderTest : public GLTest {
protected:
    SimpleModel* Load(const std::string& name, const std::string& contents, float scale = 1.0f,
                      unsigned primitive = 4) {
        mTree.Write(name, contents);
        return GetObjectReader()->LoadObj(KESTREL_BUNDLE, mTree.Path() + "/", name, scale, primitive);
    }
    // The reader's messages for a file, with the model it made.
    std::string LoadReporting(const std::string& name, const std::string& contents, SimpleModel** model) {
        testing::internal::CaptureStderr();
        *model = Load(name, contents);
        return testing::internal::GetCapturedStderr();
    }
    static int VertexCount(const SimpleModel* model) {
        int count = 0;
        for (const RenderList* list : model->GetRenderLists()) count += list->GetVertices().Count();
        return count;
    }
    static const Array<RenderListVertex>& Vertices(const SimpleModel* model, size_t list = 0) {
        return model->GetRenderLists().at(list)->GetVertices();
    }
    // The first list's corners: position x, y; normal bytes; texture bytes u = 255 s, v = 255 (1 - t); the
    // render list's own s = 0, t = 1.
    struct Corner {
        float x, y;
        int nx, ny, nz, u, v;
    };
    static void ExpectCorners(const SimpleModel* model, const std::vector<Corner>& corners) {
        ASSERT_NE(model, nullptr);
        const Array<RenderListVertex>& got = Vertices(model);
        ASSERT_EQ(got.Count(), static_cast<int>(corners.size()));
        for (int i = 0; i < got.Count(); ++i) {
            SCOPED_TRACE("corner " + std::to_string(i));
            const Corner& c = corners[i];
            EXPECT_FLOAT_EQ(got[i].x, c.x);
            EXPECT_FLOAT_EQ(got[i].y, c.y);
            EXPECT_EQ(got[i].nx, c.nx);
            EXPECT_EQ(got[i].ny, c.ny);
            EXPECT_EQ(got[i].nz, c.nz);
            EXPECT_EQ(got[i].u, c.u);
            EXPECT_EQ(got[i].v, c.v);
            EXPECT_EQ(got[i].nw, 0);
            EXPECT_EQ(got[i].s, 0);
            EXPECT_EQ(got[i].t, 1);
        }
    }

    TempTree mTree;
};

TEST_F(ObjReaderTest, NegativeNormalsAndOutOfRangeCoordinatesKeepTheLowByte) {
    SimpleModel* model = Load("ranges.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvt 1.5 0\nvn -1 0 0\n"
                                            "usemtl none\nf 1/1/1 2/2/1 3/1/1\n");
    // 0.5 * 255 = 127.5 and 1.5 * 255 = 382 keep 127 and 126.
    ExpectCorners(model, {{0, 0, -127, 0, 0, 127, 127}, {1, 0, -127, 0, 0, 126, 255}, {0, 1, -127, 0, 0, 127, 127}});
}

TEST_F(ObjReaderTest, LinePrimitiveEmitsTheThreeEdges) {
    SimpleModel* model = Load("lines.obj", std::string(kTriangle) + "usemtl none\n" + kFace, 1.0f, ObjReader::kLines);
    const Corner a{0, 0, 0, 0, 127, 0, 255}, b{1, 0, 0, 0, 127, 255, 255}, c{0, 1, 0, 0, 127, 0, 0};
    ExpectCorners(model, {a, b, b, c, c, a});
}

TEST_F(ObjReaderTest, EveryUsemtlStartsAListAndMaterialsComeFromTheMtl) {
    mTree.Write("shiny.mtl", "# exported\nnewmtl chrome\nKd 1 1 1\nmap_Kd missing.png\nnewmtl matte\n");
    SimpleModel* model = Load("two.obj", "mtllib shiny.mtl\n" + std::string(kTriangle) + "usemtl chrome\n" + kFace +
                                             "usemtl chrome\n" + kFace + "usemtl unknown\n" + kFace);
    ASSERT_EQ(model->GetRenderLists().size(), 3u);
    SimpleMaterial* chrome = GetObjectReader()->mMaterials.at("chrome");
    EXPECT_EQ(chrome->mName, "chrome");
    EXPECT_NE(chrome->mTexture, static_cast<GLuint>(-1));  // an empty texture for the missing picture
    EXPECT_EQ(model->GetRenderLists()[0]->GetMaterial(), chrome);
    EXPECT_EQ(model->GetRenderLists()[1]->GetMaterial(), chrome);
    EXPECT_EQ(model->GetRenderLists()[2]->GetMaterial(), nullptr);
    EXPECT_NE(model->GetRenderLists()[0]->GetShaderProgram(), nullptr);
}

TEST_F(ObjReaderTest, MissingFilesAreReportedAndTheLoadGoesOn) {
    testing::internal::CaptureStdout();
    SimpleModel* none = GetObjectReader()->LoadObj(KESTREL_BUNDLE, mTree.Path() + "/", "absent.obj", 1.0f, 4);
    SimpleModel* model = Load("nomtl.obj", "mtllib absent.mtl\n" + std::string(kTriangle) + "usemtl x\n" + kFace);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(none, nullptr);
    EXPECT_NE(out.find("Unable to read model!\n"), std::string::npos);
    EXPECT_NE(out.find("> ERROR! Cannot open material file.\n"), std::string::npos);
    EXPECT_EQ(VertexCount(model), 3);
}

// The line that breaks a rule is skipped (a last line without its end is read)
// and named once; the triangle's own face is still read.
TEST_F(ObjReaderTest, LinesBreakingTheRulesAreSkippedWithTheirLineNumber) {
    const struct {
        const char* name;
        const char* body;  // after the triangle's positions, coordinates and normal
        const char* message;
    } cases[] = {
        {"before_usemtl", "f 1/1/1 2/2/1 3/3/1\nusemtl m\nf 1/1/1 2/2/1 3/3/1\n", ":8: face before any \"usemtl\""},
        {"zero_index", "usemtl m\nf 0/1/1 2/2/1 3/3/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: face index"},
        {"negative_index", "usemtl m\nf -1/1/1 2/2/1 3/3/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: face index"},
        {"past_the_end", "usemtl m\nf 1/1/1 2/2/1 4/3/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: face index"},
        {"normal_past_end", "usemtl m\nf 1/1/2 2/2/1 3/3/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: face index"},
        {"quad", "usemtl m\nf 1/1/1 2/2/1 3/3/1 1/1/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: a face must have exactly three"},
        {"two_corners", "usemtl m\nf 1/1/1 2/2/1\nf 1/1/1 2/2/1 3/3/1\n", ":9: a face must have exactly three"},
        {"garbage", "usemtl m\nf x y z\nf 1/1/1 2/2/1 3/3/1\n", ":9: a face must have exactly three"},
        {"cut", "usemtl m\nf 1/1/1 2/2/1 3/3/1", ":9: the last line has no line end"},  // read all the same
    };
    for (const auto& c : cases) {
        SimpleModel* model = nullptr;
        const std::string err = LoadReporting(std::string(c.name) + ".obj", std::string(kTriangle) + c.body, &model);
        ASSERT_NE(model, nullptr) << c.name;
        EXPECT_EQ(VertexCount(model), 3) << c.name;
        EXPECT_NE(err.find(std::string(c.name) + ".obj" + c.message), std::string::npos) << c.name << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.name << ": " << err;
    }
}

TEST_F(ObjReaderTest, MalformedEntriesAreKeptSoLaterIndicesStillCount) {
    SimpleModel* model = nullptr;
    const std::string err = LoadReporting("holes.obj", "v 0 0 0\nv 5 nope\nv 2 0 0\nv 0 3 0\nvt 0 0\nvt x\nvt 1 0\n"
                                                       "vt 0 1\nvn 0 0 1\nvn\nvn 0 -1 0\nusemtl m\nf 2/2/2 3/3/3 4/4/1\n",
                                          &model);
    // Corner 1 is position (5, 0, 0) with its missing parts 0, the zero normal and coordinate; corner 2 takes
    // entries 3 of each list, corner 3 position 4, coordinate 4 and normal 1.
    ExpectCorners(model, {{5, 0, 0, 0, 0, 0, 255}, {2, 0, 0, -127, 0, 255, 255}, {0, 3, 0, 0, 127, 0, 0}});
    EXPECT_NE(err.find("holes.obj:2: \"v\" needs three numbers"), std::string::npos) << err;
    EXPECT_NE(err.find("holes.obj:6: \"vt\" needs two numbers"), std::string::npos) << err;
    EXPECT_NE(err.find("holes.obj:10: \"vn\" needs three numbers"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
}

TEST_F(ObjReaderTest, OverlongLinesAndMapBeforeNewmtlAreSkipped) {
    mTree.Write("early.mtl", "map_Kd early.png\nnewmtl late\n");
    SimpleModel* model = nullptr;
    const std::string exact(4095 - 2, ' ');  // "# " + spaces: a comment of exactly 4095 characters
    const std::string err = LoadReporting("long.obj", "mtllib early.mtl\n# " + exact + "\nv " + std::string(5000, '1') +
                                                          "\n" + kTriangle + "usemtl late\n" + kFace,
                                          &model);
    EXPECT_NE(err.find("early.mtl:1: \"map_Kd\" before any \"newmtl\""), std::string::npos) << err;
    EXPECT_NE(err.find("long.obj:3: line longer than 4095 characters"), std::string::npos) << err;
    EXPECT_EQ(err.find("long.obj:2"), std::string::npos) << err;
    EXPECT_EQ(VertexCount(model), 3);
    EXPECT_FLOAT_EQ(Vertices(model)[1].x, 1.0f);  // the long "v" was not counted
}

}  // namespace
