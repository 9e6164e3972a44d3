// Reads one MAS scene file into an animation scene: nodes, meshes, cameras,
// lights and materials, their pictures, and every keyframe track. One pass
// over the file in 8 KB pieces, lines parsed in place, tokens copied only
// into fixed buffers.
//
// A malformed file ends the import with a BS::Error whose message says what
// was expected and names the line ("... (line 12)"); everything made before
// it stays in the scene. Indices are checked before use and counts are
// bounded, so no input reads outside a list or allocates without limit.
#pragma once

#include <string>
#include <vector>

#include "BS/Export/BS_Math.h"

class B3D_Mesh;
class DAS;
class DAS_Material;
class DAS_MeshNode;
class DAS_Node;
class SimpleMaterial;
namespace BS {
class Directory;
class File;
}  // namespace BS
namespace MAS {
class Cursor;
}

enum class MASLoader_Section {
    root, group, geometryObject, nodeTM, mesh, meshAnimation, vertexList, faceList, tvertList, tfaceList, normals,
    mappingChannel, scene, materialList, mapDiffuse, mapReflect, cameraObject, cameraSettings, tmAnimation,
    posTrack, posSamples, rotTrack, rotSamples, floatTrack, floatSamples, lightObject, lightSettings,
    skinModifier, skinInitTM, skinBone, boneInitTM, boneVertices, parameterAnimation
};

struct MASLoader_Face {
    int vertex[3];
    int texture[3];
};

class DAS_MAS_Importer {
public:
    // Bounds that keep a hostile file from allocating without limit.
    static constexpr int kMostMaterials = 4096;

    DAS_MAS_Importer(DAS* scene, DAS_Node* parent);

    void Import(BS::File* file, BS::Directory directory);
    // The same over bytes in memory; pictures are looked up under directoryPath
    // (which ends with "/").
    void ImportBytes(const char* data, size_t size, const std::string& directoryPath);
    // False when the file ended inside a block (the import itself does not complain).
    bool Complete() const { return mMASSection.size() == 1; }
    // True when text follows the last line break: that line was not read.
    bool HasUnreadTail() const { return mLineLength > 0; }

private:
    // A camera's turn from the file's frame: a quarter turn about x.
    static const BS::Matrix44& CameraCorrection();
    void Begin(const std::string& directoryPath);
    void LoadSegment(const char* piece, size_t length);
    // Blanks out the line breaks from `from` on, counting them into the run.
    size_t ConsumeBreaks(size_t from, size_t end);
    long RunLines() const { return static_cast<long>(mRunFeeds > 0 ? mRunFeeds : mRunReturns); }
    void ParseLine(char* line);
    [[noreturn]] void Fail(const std::string& message) const;
    void Push(MASLoader_Section section) { mMASSection.push_back(section); }
    void Pop();
    MASLoader_Section Below() const;
    DAS_Node* ActiveNode(const char* operation) const;
    DAS_MeshNode* ActiveMeshNode(const char* operation) const;
    // "{" after a block keyword: RequireBrace fails with the message when it
    // is missing or wrong; OptionalBrace answers false when the line ends
    // first (the keyword is then ignored) and fails on any other token.
    void RequireBrace(MAS::Cursor& cursor, const char* message);
    bool OptionalBrace(MAS::Cursor& cursor, const char* message);
    // Opens the block when its "{" follows.
    void OpenBlock(MAS::Cursor& cursor, MASLoader_Section section, const char* message);
    float Seconds(float ticks) const { return ticks / (mTicksPerFrame * mFrameSpeed); }

    void ParseRoot(MAS::Cursor& c, const char* keyword);
    void ParseGroup();
    void ParseScene(MAS::Cursor& c, const char* keyword);
    void ParseMaterialList(MAS::Cursor& c, const char* keyword);
    void ParseMapDiffuse(MAS::Cursor& c, const char* keyword);
    void ParseMapReflect(MAS::Cursor& c, const char* keyword);
    void ParseMaterialRef(MAS::Cursor& c);
    void ParseGeomObject(MAS::Cursor& c, const char* keyword);
    void ParseNodeTM(MAS::Cursor& c, const char* keyword);
    void ParseCameraObject(MAS::Cursor& c, const char* keyword);
    void ParseLightObject(MAS::Cursor& c, const char* keyword);
    void ParseLightSettings(const char* keyword);

    void ParseMesh(MAS::Cursor& c, const char* keyword);
    void ParseMeshAnimation(MAS::Cursor& c, const char* keyword);
    void ParseMeshVertexList(MAS::Cursor& c, const char* keyword);
    void ParseMeshFaceList(MAS::Cursor& c, const char* keyword);
    void ParseMeshNormals(MAS::Cursor& c, const char* keyword);
    void ParseMeshMappingChannel(MAS::Cursor& c, const char* keyword);
    void ParseTVertList(MAS::Cursor& c, const char* keyword);
    void ParseTFaceList(MAS::Cursor& c, const char* keyword);
    void BuildFaces();
    void ParseMeshSkinModifier(MAS::Cursor& c, const char* keyword);
    void ParseInitTM(MAS::Cursor& c, const char* keyword, BS::Matrix44& matrix, BS::Matrix44& inverse);
    void ParseSkinBone(MAS::Cursor& c, const char* keyword);
    void ParseBoneVertices(MAS::Cursor& c, const char* keyword);

    void ParseTMAnimation(MAS::Cursor& c, const char* keyword);
    void ParseControlPosTrack(MAS::Cursor& c, const char* keyword);
    void ParsePositionSample(MAS::Cursor& c, const char* keyword);
    void ParseControlRotTrack(MAS::Cursor& c, const char* keyword);
    void ParseRotationSample(MAS::Cursor& c, const char* keyword);
    void ParseControlFloatSample(MAS::Cursor& c, const char* keyword);
    void ParseParameterAnimation(MAS::Cursor& c, const char* keyword);
    void ParseCameraSettings(MAS::Cursor& c, const char* keyword);

    DAS* mScene;
    std::vector<char> mLine;  // the unfinished line carried between pieces
    size_t mLineLength = 0;
    long mLineNumber = 0;
    // The line breaks of the run that ended the last piece: it may go on in
    // the next one (a CR LF pair split between them).
    size_t mRunFeeds = 0;
    size_t mRunReturns = 0;
    std::vector<MASLoader_Section> mMASSection;
    std::vector<DAS_Node*> mNodeStack;
    std::string mDirectoryPath;

    std::vector<MASLoader_Face> mFaces;
    std::vector<BS::Vector2> mTextureVertices;
    std::vector<BS::Vector3> mNormals;
    int mVertexCount = 0;
    int mFaceCount = 0;
    bool mHasNormals = false;
    unsigned mVertexCounter = 0;
    unsigned mTextureFaceCounter = 0;

    float mRotationAxis[3] = {0.0f, 0.0f, 0.0f};
    SimpleMaterial* mDefaultMaterial = nullptr;
    float mLastFrame = 0.0f;
    float mTicksPerFrame = 160.0f;
    float mFrameSpeed = 30.0f;
    float mCurrentTime = 0.0f;
    bool mTarget = false;
    bool mMeshAnimation = false;
    int mCurrentMaterial = -1;
    int mMaterialBase = 0;
    int mMaterialCount = 0;
    std::vector<DAS_Material*> mMaterials;
    std::vector<B3D_Mesh*> mMeshes;
};
