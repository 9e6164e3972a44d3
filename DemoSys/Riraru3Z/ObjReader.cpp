#include "ObjReader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "DemoSys/DemoLog.h"
#include "RenderList.h"
#include "Shader.h"
#include "SimpleMaterial.h"
#include "SimpleModel.h"

namespace {

constexpr int kLineLength = 4096;  // lines of up to 4095 characters

// Reads a text file line by line, each line once, and keeps the line number
// for messages.
class LineReader {
public:
    LineReader(FILE* file, const std::string& path) : mFile(file), mPath(path) {}

    // False at the end of the file. Overlong lines are reported and skipped.
    bool Next() {
        for (;;) {
            if (!fgets(mLine, sizeof mLine, mFile)) return false;
            ++mNumber;
            const size_t length = strlen(mLine);
            if (length > 0 && mLine[length - 1] == '\n') return true;
            if (length + 1 < sizeof mLine) {
                // Exporters end every line; a last line without its end is most
                // likely a file cut short. It is read all the same.
                DemoLog("%s:%d: the last line has no line end; the file may be cut short", mPath.c_str(), mNumber);
                return true;
            }
            int c = fgetc(mFile);
            if (c == '\n' || c == EOF) return true;  // exactly 4095 characters
            while ((c = fgetc(mFile)) != EOF && c != '\n') {
            }
            Skip("line longer than 4095 characters");
        }
    }

    // The text before the first space (or the line end).
    bool KeywordIs(const char* keyword) const {
        const size_t n = strlen(keyword);
        return strncmp(mLine, keyword, n) == 0 && (mLine[n] == '\0' || strchr(" \t\r\n", mLine[n]));
    }
    bool IsComment() const { return mLine[0] == '#'; }
    const char* Text() const { return mLine; }

    void Skip(const char* why) const { DemoLog("%s:%d: %s; line skipped", mPath.c_str(), mNumber, why); }
    void Warn(const char* why) const { DemoLog("%s:%d: %s", mPath.c_str(), mNumber, why); }

private:
    FILE* mFile;
    const std::string& mPath;
    char mLine[kLineLength];
    int mNumber = 0;
};

struct Corner {
    int position, texture, normal;
};

struct Vec3 {
    float x, y, z;
};
struct Vec2 {
    float u, v;
};

// The working arrays of one load and the rules that bind faces to them.
class ObjLoad {
public:
    ObjLoad(SimpleModel& model, float scale, unsigned primitive) : mModel(model), mScale(scale), mPrimitive(primitive) {
        mPositions.reserve(128);
        mNormals.reserve(128);
        mTextures.reserve(128);
    }

    void Read(LineReader& lines, ObjReader& reader, const std::string& directory, Shader* shader);

private:
    void Face(const LineReader& lines);
    bool ParseCorners(const LineReader& lines, Corner corners[3]);
    RenderListVertex Vertex(const Corner& corner) const;

    SimpleModel& mModel;
    float mScale;
    unsigned mPrimitive;
    RenderList* mList = nullptr;
    std::vector<Vec3> mPositions;
    std::vector<Vec3> mNormals;
    std::vector<Vec2> mTextures;
};

bool OnlySpaceAfter(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
    return *text == '\0';
}

bool ObjLoad::ParseCorners(const LineReader& lines, Corner c[3]) {
    const char* text = lines.Text();
    int end = 0;
    const int full = sscanf(text, "f %d/%d/%d %d/%d/%d %d/%d/%d%n", &c[0].position, &c[0].texture, &c[0].normal,
                            &c[1].position, &c[1].texture, &c[1].normal, &c[2].position, &c[2].texture,
                            &c[2].normal, &end);
    if (full == 9 && OnlySpaceAfter(text + end)) return true;
    if (full == 1) {
        end = 0;
        const int reduced = sscanf(text, "f %d//%d %d//%d %d//%d%n", &c[0].position, &c[0].normal, &c[1].position,
                                   &c[1].normal, &c[2].position, &c[2].normal, &end);
        if (reduced == 6 && OnlySpaceAfter(text + end)) {
            if (mTextures.empty()) {
                lines.Skip("face without texture indices but no \"vt\" line to use");
                return false;
            }
            c[0].texture = c[1].texture = c[2].texture = 1;
            return true;
        }
    }
    lines.Skip("a face must have exactly three corners, each position/texture/normal or position//normal");
    return false;
}

void ObjLoad::Face(const LineReader& lines) {
    if (!mList) {
        lines.Skip("face before any \"usemtl\"");
        return;
    }
    Corner c[3];
    if (!ParseCorners(lines, c)) return;
    for (const Corner& corner : c) {
        const bool valid = corner.position >= 1 && corner.position <= static_cast<int>(mPositions.size()) &&
                           corner.texture >= 1 && corner.texture <= static_cast<int>(mTextures.size()) &&
                           corner.normal >= 1 && corner.normal <= static_cast<int>(mNormals.size());
        if (!valid) {
            lines.Skip("face index is 0, negative or past the last one read");
            return;
        }
    }
    const RenderListVertex v[3] = {Vertex(c[0]), Vertex(c[1]), Vertex(c[2])};
    if (mPrimitive == ObjReader::kLines) {
        for (int i = 0; i < 3; ++i) {
            mList->AddVertex(v[i]);
            mList->AddVertex(v[(i + 1) % 3]);
        }
    } else {
        for (const RenderListVertex& vertex : v) mList->AddVertex(vertex);
    }
}

RenderListVertex ObjLoad::Vertex(const Corner& corner) const {
    const Vec3& p = mPositions[corner.position - 1];
    const Vec3& n = mNormals[corner.normal - 1];
    const Vec2& t = mTextures[corner.texture - 1];
    RenderListVertex v{};
    v.x = p.x * mScale;
    v.y = p.y * mScale;
    v.z = p.z * mScale;
    v.nx = PackedNormal(n.x);
    v.ny = PackedNormal(n.y);
    v.nz = PackedNormal(n.z);
    v.u = PackedByte(t.u * 255.0f);
    v.v = PackedByte((1.0f - t.v) * 255.0f);  // image row 0 is v = 0
    return v;
}

void ObjLoad::Read(LineReader& lines, ObjReader& reader, const std::string& directory, Shader* shader) {
    char name[kLineLength];
    while (lines.Next()) {
        if (lines.IsComment()) continue;
        const char* text = lines.Text();
        if (lines.KeywordIs("mtllib")) {
            if (sscanf(text, "mtllib %4095s", name) == 1) reader.LoadMaterials(directory, name);
        } else if (lines.KeywordIs("usemtl")) {
            if (sscanf(text, "usemtl %4095s", name) != 1) name[0] = '\0';
            const auto material = reader.mMaterials.find(name);
            mList = mModel.NewRenderList();
            mList->SetShaderProgram(shader);
            mList->SetMaterial(material == reader.mMaterials.end() ? nullptr : material->second);
        } else if (lines.KeywordIs("v")) {
            // A malformed entry is kept, so that the faces' later indices still
            // count the entries the file has.
            Vec3 p{};
            if (sscanf(text, "v %f %f %f", &p.x, &p.y, &p.z) != 3) lines.Warn("\"v\" needs three numbers; the missing read as 0");
            mPositions.push_back(p);
        } else if (lines.KeywordIs("vn")) {
            Vec3 n{};
            if (sscanf(text, "vn %f %f %f", &n.x, &n.y, &n.z) != 3) lines.Warn("\"vn\" needs three numbers; the missing read as 0");
            mNormals.push_back(n);
        } else if (lines.KeywordIs("vt")) {
            Vec2 t{};
            if (sscanf(text, "vt %f %f", &t.u, &t.v) != 2) lines.Warn("\"vt\" needs two numbers; the missing read as 0");
            mTextures.push_back(t);
        } else if (lines.KeywordIs("f")) {
            Face(lines);
        }
    }
}

}  // namespace

ObjReader* GetObjectReader() {
    static ObjReader* lReader = new ObjReader();
    return lReader;
}

SimpleModel* ObjReader::LoadObj(const std::string& basePath, const std::string& directory,
                                const std::string& fileName, float scale, unsigned primitive) {
    const std::string key = directory + fileName;
    const auto cached = mModels.find(key);
    if (cached != mModels.end()) {
        SimpleModel* instance = Keep(new SimpleModel(cached->second->GetRenderLists()));
        instance->UpdateExtremes();
        return instance;
    }
    SimpleModel* model = Keep(new SimpleModel());
    mModels[key] = model;
    Shader* shader = Shader::LoadShader(basePath + "/FxData/Common/Generic3D");

    FILE* file = fopen(key.c_str(), "r");
    if (!file) {
        printf("Unable to read model!\n");
        DemoLog("%s: cannot open the model", key.c_str());
        return nullptr;
    }
    LineReader lines(file, key);
    ObjLoad(*model, scale, primitive).Read(lines, *this, directory, shader);
    fclose(file);
    model->UpdateExtremes();
    return model;
}

SimpleModel* ObjReader::Keep(SimpleModel* model) {
    mModelStore.emplace_back(model);
    return model;
}

void ObjReader::LoadMaterials(const std::string& directory, const std::string& fileName) {
    const std::string path = directory + fileName;
    FILE* file = fopen(path.c_str(), "r");
    if (!file) {
        printf("> ERROR! Cannot open material file.\n");
        DemoLog("%s: cannot open the materials", path.c_str());
        return;
    }
    LineReader lines(file, path);
    SimpleMaterial* current = nullptr;
    char name[kLineLength];
    while (lines.Next()) {
        if (lines.IsComment()) continue;
        if (lines.KeywordIs("newmtl")) {
            if (sscanf(lines.Text(), "newmtl %4095s", name) != 1) name[0] = '\0';
            mMaterialStore.push_back(std::make_unique<SimpleMaterial>());
            current = mMaterialStore.back().get();
            current->mName = name;
            mMaterials[name] = current;
        } else if (lines.KeywordIs("map_Kd")) {
            if (!current) lines.Skip("\"map_Kd\" before any \"newmtl\"");
            else if (sscanf(lines.Text(), "map_Kd %4095s", name) == 1) current->LoadTexture(directory + name);
        }
    }
    fclose(file);
}
