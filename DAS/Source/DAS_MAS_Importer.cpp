#include "DAS_MAS_Importer.h"

#include <cstdio>
#include <cstring>

#include "B3D/Source/B3D_Camera.h"
#include "B3D/Source/B3D_Light.h"
#include "B3D/Source/B3D_Mesh.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "DAS.h"
#include "DAS_MAS_Lexer.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"

using MAS::Compare;
using MAS::Cursor;
using MAS::kTokenSize;

namespace {

constexpr size_t kPiece = 8192;

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

const BS::Matrix44& DAS_MAS_Importer::CameraCorrection() {
    static const BS::Matrix44 kCorrection = [] {
        BS::Matrix44 x;
        x.Rotate(BS::Vector3(1.0f, 0.0f, 0.0f), 1.5707964f);
        return x;
    }();
    return kCorrection;
}

void DAS::InsertFromMAS(BS::File* file, BS::Directory directory, DAS_Node* parent) {
    mLinkByName = true;
    DAS_MAS_Importer importer(this, parent);
    importer.Import(file, std::move(directory));
    if (importer.HasUnreadTail())
        fprintf(stderr, "%s: the last line has no line end and is not read\n", file->GetName().c_str());
    if (!importer.Complete()) fprintf(stderr, "%s: the scene file ends inside an open block\n", file->GetName().c_str());
}

DAS_MAS_Importer::DAS_MAS_Importer(DAS* scene, DAS_Node* parent) : mScene(scene) {
    if (parent) printf("WARNING: parent parameter not yet implemented in DAS_MAS_Importer!\n");
    mLine.reserve(kPiece);
}

void DAS_MAS_Importer::Begin(const std::string& directoryPath) {
    mDirectoryPath = directoryPath;
    mDefaultMaterial = new SimpleMaterial();
    mScene->InsertMaterial(new DAS_Material(mDefaultMaterial, "dummy.png"));
    mMASSection.assign(1, MASLoader_Section::root);
}

void DAS_MAS_Importer::Import(BS::File* file, BS::Directory directory) {
    Begin(directory.GetPath());
    file->SetPos(0);
    unsigned long long left = file->GetSize();
    char piece[kPiece];
    while (left > 0) {
        const size_t wanted = left < kPiece ? static_cast<size_t>(left) : kPiece;
        // Read answers whether the whole piece came (not a byte count).
        if (file->Read(piece, wanted) == 0) throw BS::Error("The MAS file could not be read to its end");
        LoadSegment(piece, wanted);
        left -= wanted;
    }
}

void DAS_MAS_Importer::ImportBytes(const char* data, size_t size, const std::string& directoryPath) {
    Begin(directoryPath);
    for (size_t at = 0; at < size; at += kPiece) LoadSegment(data + at, size - at < kPiece ? size - at : kPiece);
}

void DAS_MAS_Importer::LoadSegment(const char* piece, size_t length) {
    mLine.resize(mLineLength + length + 1);
    memcpy(mLine.data() + mLineLength, piece, length);
    const size_t end = mLineLength + length;
    mLine[end] = '\0';
    size_t start = 0;
    if (mRunFeeds + mRunReturns > 0) {  // the last piece ended in line breaks; its line is parsed
        const long counted = RunLines();
        start = ConsumeBreaks(0, end);
        mLineNumber += RunLines() - counted;
    }
    for (size_t i = start; i < end; ++i) {
        if (!IsLineBreak(mLine[i])) continue;
        mRunFeeds = mRunReturns = 0;
        const size_t runEnd = ConsumeBreaks(i, end);
        ++mLineNumber;
        ParseLine(mLine.data() + start);
        mLineNumber += RunLines() - 1;
        start = runEnd;
        i = runEnd - 1;
    }
    if (start < end) mRunFeeds = mRunReturns = 0;
    mLineLength = end - start;
    memmove(mLine.data(), mLine.data() + start, mLineLength);
}

size_t DAS_MAS_Importer::ConsumeBreaks(size_t from, size_t end) {
    while (from < end && IsLineBreak(mLine[from])) {
        (mLine[from] == '\n' ? mRunFeeds : mRunReturns) += 1;
        mLine[from++] = '\0';
    }
    return from;
}

void DAS_MAS_Importer::Fail(const std::string& message) const { throw BS::Error(message); }

void DAS_MAS_Importer::Pop() {
    if (mMASSection.size() > 1) mMASSection.pop_back();
}

MASLoader_Section DAS_MAS_Importer::Below() const {
    return mMASSection.size() >= 2 ? mMASSection[mMASSection.size() - 2] : MASLoader_Section::root;
}

DAS_Node* DAS_MAS_Importer::ActiveNode(const char* operation) const {
    if (mNodeStack.empty()) Fail(std::string("Inside ") + operation + ", but there is no active node!");
    return mNodeStack.back();
}

DAS_MeshNode* DAS_MAS_Importer::ActiveMeshNode(const char* operation) const {
    auto* node = dynamic_cast<DAS_MeshNode*>(ActiveNode(operation));
    if (!node || !node->Mesh()) Fail(std::string("Inside ") + operation + ", but the active node has no mesh!");
    return node;
}

void DAS_MAS_Importer::RequireBrace(Cursor& c, const char* message) {
    if (c.NextBrace() != Cursor::Brace::open) Fail(message);
}

bool DAS_MAS_Importer::OptionalBrace(Cursor& c, const char* message) {
    const Cursor::Brace brace = c.NextBrace();
    if (brace == Cursor::Brace::other) Fail(message);
    return brace == Cursor::Brace::open;
}

void DAS_MAS_Importer::OpenBlock(Cursor& c, MASLoader_Section section, const char* message) {
    if (OptionalBrace(c, message)) Push(section);
}

void DAS_MAS_Importer::ParseLine(char* line) {
    Cursor c(line);
    char keyword[kTokenSize];
    if (!c.GetToken(keyword, sizeof keyword)) return;
    try {
        switch (mMASSection.back()) {
            case MASLoader_Section::root: return ParseRoot(c, keyword);
            case MASLoader_Section::group: return ParseGroup();
            case MASLoader_Section::geometryObject: return ParseGeomObject(c, keyword);
            case MASLoader_Section::nodeTM: return ParseNodeTM(c, keyword);
            case MASLoader_Section::mesh: return ParseMesh(c, keyword);
            case MASLoader_Section::meshAnimation: return ParseMeshAnimation(c, keyword);
            case MASLoader_Section::vertexList: return ParseMeshVertexList(c, keyword);
            case MASLoader_Section::faceList: return ParseMeshFaceList(c, keyword);
            case MASLoader_Section::tvertList: return ParseTVertList(c, keyword);
            case MASLoader_Section::tfaceList: return ParseTFaceList(c, keyword);
            case MASLoader_Section::normals: return ParseMeshNormals(c, keyword);
            case MASLoader_Section::mappingChannel: return ParseMeshMappingChannel(c, keyword);
            case MASLoader_Section::scene: return ParseScene(c, keyword);
            case MASLoader_Section::materialList: return ParseMaterialList(c, keyword);
            case MASLoader_Section::mapDiffuse: return ParseMapDiffuse(c, keyword);
            case MASLoader_Section::mapReflect: return ParseMapReflect(c, keyword);
            case MASLoader_Section::cameraObject: return ParseCameraObject(c, keyword);
            case MASLoader_Section::cameraSettings: return ParseCameraSettings(c, keyword);
            case MASLoader_Section::tmAnimation: return ParseTMAnimation(c, keyword);
            case MASLoader_Section::posTrack: return ParseControlPosTrack(c, keyword);
            case MASLoader_Section::posSamples: return ParsePositionSample(c, keyword);
            case MASLoader_Section::rotTrack: return ParseControlRotTrack(c, keyword);
            case MASLoader_Section::rotSamples: return ParseRotationSample(c, keyword);
            case MASLoader_Section::floatTrack:
            case MASLoader_Section::floatSamples: return ParseControlFloatSample(c, keyword);
            case MASLoader_Section::lightObject: return ParseLightObject(c, keyword);
            case MASLoader_Section::lightSettings: return ParseLightSettings(keyword);
            case MASLoader_Section::skinModifier: return ParseMeshSkinModifier(c, keyword);
            case MASLoader_Section::skinInitTM: {
                DAS_MeshNode* node = ActiveMeshNode("ParseMeshSkinModifier");
                return ParseInitTM(c, keyword, node->mSkinInitTransform, node->mInverseSkinInitTransform);
            }
            case MASLoader_Section::skinBone: return ParseSkinBone(c, keyword);
            case MASLoader_Section::boneInitTM: {
                DAS_MeshNode* node = ActiveMeshNode("ParseBoneInitTM");
                if (node->Bones().empty()) Fail("Inside ParseBoneInitTM, but there is no active bone!");
                DAS_SkinBone* bone = node->Bones().back();
                return ParseInitTM(c, keyword, bone->initTransform, bone->inverseInitTransform);
            }
            case MASLoader_Section::boneVertices: return ParseBoneVertices(c, keyword);
            case MASLoader_Section::parameterAnimation: return ParseParameterAnimation(c, keyword);
        }
        Fail("mMASSection.Peek() did not return a known section number");
    } catch (BS::Error& e) {
        // Every message of the import says where the file went wrong.
        e.mMessage += " (line " + std::to_string(mLineNumber) + ")";
        throw;
    }
}

void DAS_MAS_Importer::ParseRoot(Cursor& c, const char* keyword) {
    char text[kTokenSize];
    if (Compare(keyword, "*3DSMAX_ASCIIEXPORT")) {
        int version;
        if (c.GetInteger(&version) && version != 330) Fail("MASLoader currently only supports MAS version 330");
    } else if (Compare(keyword, "*COMMENT")) {
        c.GetString(text, sizeof text);
    } else if (Compare(keyword, "*SCENE")) {
        RequireBrace(c, "Incorrect *SCENE command in BN3D_MASLoader::ParseRoot");
        Push(MASLoader_Section::scene);
    } else if (Compare(keyword, "*MATERIAL_LIST")) {
        RequireBrace(c, "Incorrect *MATERIAL_LIST command in BN3D_MASLoader::ParseRoot");
        Push(MASLoader_Section::materialList);
    } else if (Compare(keyword, "*GROUP")) {
        const char* message = "Incorrect *GROUP command in BN3D_MASLoader::ParseRoot";
        if (!c.GetString(text, sizeof text)) Fail(message);
        RequireBrace(c, message);
        auto* node = new DAS_Node();
        mNodeStack.push_back(node);
        mScene->InsertNode(node, nullptr);
        Push(MASLoader_Section::group);
    } else if (Compare(keyword, "*GEOMOBJECT")) {
        RequireBrace(c, "Incorrect *GEOMOBJECT command in BN3D_MASLoader::ParseRoot");
        auto* mesh = new B3D_Mesh();
        mesh->SetMaterial(mDefaultMaterial);
        DAS_MeshNode* node = mScene->InsertMesh(mesh, nullptr);
        mMeshes.push_back(mesh);
        mNodeStack.push_back(node);
        Push(MASLoader_Section::geometryObject);
        mHasNormals = false;
    } else if (Compare(keyword, "*CAMERAOBJECT")) {
        RequireBrace(c, "Incorrect *CAMERAOBJECT command in BN3D_MASLoader::ParseRoot");
        auto* node = new DAS_CameraNode();
        node->mObject = new B3D_Object();
        mScene->InsertObject(node->mObject);  // the world owns the plain object
        node->mCamera = new B3D_Camera();
        mNodeStack.push_back(node);
        mScene->InsertCamera(node, nullptr);
        Push(MASLoader_Section::cameraObject);
    } else if (Compare(keyword, "*LIGHTOBJECT")) {
        RequireBrace(c, "Incorrect *LIGHTOBJECT command in BN3D_MASLoader::ParseRoot");
        DAS_LightNode* node = mScene->InsertLight(new B3D_Light(), nullptr);
        mNodeStack.push_back(node);
        Push(MASLoader_Section::lightObject);
    }
}

void DAS_MAS_Importer::ParseGroup() { printf(">> unimplemented: %s.\n", "ParseGroup"); }

void DAS_MAS_Importer::ParseScene(Cursor& c, const char* keyword) {
    if (Compare(keyword, "*SCENE_FRAMESPEED")) {
        c.GetFloat(&mFrameSpeed);
    } else if (Compare(keyword, "*SCENE_TICKSPERFRAME")) {
        c.GetFloat(&mTicksPerFrame);
    } else if (Compare(keyword, "*SCENE_LASTFRAME")) {
        c.GetFloat(&mLastFrame);
    } else if (Compare(keyword, "}")) {
        mScene->SetLastTime(mLastFrame / mFrameSpeed);
        Pop();
    }
}

void DAS_MAS_Importer::ParseMaterialList(Cursor& c, const char* keyword) {
    char token[kTokenSize];
    if (Compare(keyword, "*MATERIAL_COUNT")) {
        int count;
        if (!c.GetInteger(&count)) return;
        if (count < 0 || count > kMostMaterials - static_cast<int>(mMaterials.size()))
            Fail("*MATERIAL_COUNT must lie between 0 and " + std::to_string(kMostMaterials) + " materials in all");
        mMaterialCount = count;
        for (int i = 0; i < count; ++i) {
            auto* material = new DAS_Material(new SimpleMaterial(), "");
            mMaterials.push_back(material);
            mScene->InsertMaterial(material);
        }
    } else if (Compare(keyword, "*MATERIAL")) {
        int index;
        if (!c.GetInteger(&index)) return;
        if (index < 0 || index >= mMaterialCount) Fail("*MATERIAL index outside its list's *MATERIAL_COUNT");
        mCurrentMaterial = index;
        if (c.GetToken(token, sizeof token) && strcmp(token, "{") != 0) printf("Warning: Incorrect *MATERIAL cmmand");
    } else if (Compare(keyword, "*MAP_DIFFUSE")) {
        Push(MASLoader_Section::mapDiffuse);
    } else if (Compare(keyword, "*MAP_REFLECT")) {
        Push(MASLoader_Section::mapReflect);
    } else if (Compare(keyword, "*PARAMETER_ANIMATION")) {
        if (c.GetToken(token, sizeof token) && strcmp(token, "{") != 0)
            printf("Warning: Incorrect *PARAMETER_ANIMATION command!\n");
        Push(MASLoader_Section::parameterAnimation);
    } else if (Compare(keyword, "}")) {
        if (mCurrentMaterial >= 0) {
            mCurrentMaterial = -1;
        } else {
            mMaterialBase += mMaterialCount;
            mMaterialCount = 0;  // a later list names only the materials it makes
            Pop();
        }
    }
}

namespace {

// The file name after the last backslash of a (Windows) path.
const char* PictureName(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

}  // namespace

void DAS_MAS_Importer::ParseMapDiffuse(Cursor& c, const char* keyword) {
    char text[kTokenSize];
    if (Compare(keyword, "*BITMAP")) {
        if (!c.GetString(text, sizeof text) || mCurrentMaterial < 0) return;
        DAS_Material* material = mMaterials[static_cast<size_t>(mMaterialBase + mCurrentMaterial)];
        const std::string name = PictureName(text);
        material->mName = name;
        const std::string path = mDirectoryPath + name;
        material->mMaterial->LoadTexture(path);
        material->mMaterial->mName = name;
        printf("LOAD TEXTURE: %s\n", path.c_str());
    } else if (Compare(keyword, "*UVW_U_OFFSET") || Compare(keyword, "*UVW_V_OFFSET") ||
               Compare(keyword, "*UVW_U_TILING") || Compare(keyword, "*UVW_V_TILING")) {
        c.GetString(text, sizeof text);
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseMapReflect(Cursor& c, const char* keyword) {
    char text[kTokenSize];
    if (mCurrentMaterial < 0) printf("--> NO CURRENT MATERIAL!!\n");
    if (Compare(keyword, "*MAP_AMOUNT")) {
        c.GetString(text, sizeof text);
    } else if (Compare(keyword, "*BITMAP")) {
        if (c.GetString(text, sizeof text) && mCurrentMaterial >= 0)
            mMaterials[static_cast<size_t>(mMaterialBase + mCurrentMaterial)]->mName = PictureName(text);
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseMaterialRef(Cursor& c) {
    int index;
    if (!c.GetInteger(&index) || mMeshes.empty()) return;
    B3D_Mesh* mesh = mMeshes.back();
    if (index >= 0 && index < static_cast<int>(mMaterials.size())) mesh->SetMaterial(mMaterials[index]->mMaterial);
    else if (!mMaterials.empty()) mesh->SetMaterial(mMaterials[0]->mMaterial);
    else printf("Warning: Object has no material!\n");
}

void DAS_MAS_Importer::ParseGeomObject(Cursor& c, const char* keyword) {
    DAS_Node* node = ActiveNode("ParseGeomObject");
    char text[kTokenSize];
    int value;
    if (Compare(keyword, "*NODE_TM")) {
        OpenBlock(c, MASLoader_Section::nodeTM, "Illegal *NODE_TM command in file");
    } else if (Compare(keyword, "*PROP_RECVSHADOW")) {
        if (c.GetInteger(&value) && node->Object()) node->Object()->SetReceiveShadow(value != 0);
    } else if (Compare(keyword, "*PROP_CASTSHADOW")) {
        if (c.GetInteger(&value) && node->Object()) {
            node->Object()->SetShadowScalingMode(static_cast<unsigned>(value));
            node->Object()->SetThrowShadow(value != 0);
        }
    } else if (Compare(keyword, "*NODE_PARENT")) {
        if (c.GetString(text, sizeof text)) node->mParentName = text;
    } else if (Compare(keyword, "*MESH")) {
        OpenBlock(c, MASLoader_Section::mesh, "Illegal *MESH command in file");
    } else if (Compare(keyword, "*MESH_ANIMATION")) {
        if (OptionalBrace(c, "Illegal *MESH_ANIMATION command in file")) {
            mMeshAnimation = true;
            Push(MASLoader_Section::meshAnimation);
        }
    } else if (Compare(keyword, "*MESH_SKIN_MODIFIER")) {
        OpenBlock(c, MASLoader_Section::skinModifier, "Illegal *MESH_SKIN_MODIFIER command in file");
    } else if (Compare(keyword, "*TM_ANIMATION")) {
        OpenBlock(c, MASLoader_Section::tmAnimation, "Illegal *TM_ANIMATION command in file");
    } else if (Compare(keyword, "*MATERIAL_REF")) {
        ParseMaterialRef(c);
    } else if (Compare(keyword, "}")) {
        mNodeStack.pop_back();
        Pop();
    }
}

void DAS_MAS_Importer::ParseNodeTM(Cursor& c, const char* keyword) {
    DAS_Node* node = ActiveNode("ParseNodeTM");
    auto* camera = dynamic_cast<DAS_CameraNode*>(node);
    // A camera's second node transform, named after it with ".Target", is its target's.
    const bool target = camera && Below() == MASLoader_Section::cameraObject &&
                        MAS::EndsWith(node->mName.c_str(), ".Target");
    char text[kTokenSize];
    float v[3];
    if (Compare(keyword, "*NODE_NAME")) {
        if (!c.GetString(text, sizeof text)) return;
        node->mName = text;
        if (node->Object()) node->Object()->SetName(text);
    } else if (Compare(keyword, "*TM_ROTAXIS")) {
        if (c.GetFloats(v, 3) == 3)
            for (int i = 0; i < 3; ++i) mRotationAxis[i] = v[i];
    } else if (Compare(keyword, "*TM_ROTANGLE")) {
        float angle;
        if (!c.GetFloat(&angle)) return;
        // The file's frame is ours turned half a turn about y, which takes an
        // axis to (-x, y, -z) as it does positions; the file's angles turn the
        // other way from GetQuaternion's, and (-x, y, -z) by -angle is (x, -y, z)
        // by the angle as written.
        BS::Matrix44 r = BS::Vector3(mRotationAxis[0], -mRotationAxis[1], mRotationAxis[2]).GetQuaternion(angle).Matrix();
        if (target) {
            camera->mTargetAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(r, 0.0f));
        } else if (camera) {
            camera->mCamera->mTransform = r * CameraCorrection();
            camera->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(camera->mCamera->mTransform, 0.0f));
        } else if (node->Object()) {
            node->Object()->mTransform = r;
            node->mAnimator.AddRotationKey(DAS_ObjectRotationKeyframe(r, 0.0f));
        }
    } else if (Compare(keyword, "*TM_POS")) {
        if (c.GetFloats(v, 3) != 3) return;
        const BS::Vector3 p(-v[0], v[1], -v[2]);  // the half turn about y, as above
        if (target) {
            camera->mTargetAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(p, 0.0f));
        } else if (node->Object()) {
            node->Object()->mTransform.SetPosition(p);
            // SetPosition writes only x, y and z: the column must be the point
            // (p, 1) whatever the transform held before.
            node->Object()->mTransform.m[15] = 1.0f;
            node->mAnimator.AddPositionKey(DAS_ObjectPositionKeyframe(p, 0.0f));
        }
    } else if (Compare(keyword, "*TM_SCALE")) {
        if (c.GetFloats(v, 3) != 3) return;
        node->mScaleMatrix.Identity();
        node->mScaleMatrix.m[0] = v[0];
        node->mScaleMatrix.m[5] = v[1];
        node->mScaleMatrix.m[10] = v[2];
    } else if (Compare(keyword, "}")) {
        if (node->Object()) {
            node->Object()->mInverseBaseTransform = node->Object()->mTransform;
            node->Object()->mInverseBaseTransform.Inverse();
        }
        Pop();
    }
}

void DAS_MAS_Importer::ParseCameraObject(Cursor& c, const char* keyword) {
    char text[kTokenSize];
    if (Compare(keyword, "*CAMERA_TYPE")) {
        c.GetString(text, sizeof text);
    } else if (Compare(keyword, "*NODE_TM")) {
        OpenBlock(c, MASLoader_Section::nodeTM, "Illegal *NODE_TM command in file");
    } else if (Compare(keyword, "*CAMERA_SETTINGS")) {
        OpenBlock(c, MASLoader_Section::cameraSettings, "Illegal *CAMERA_SETTINGS command in file");
    } else if (Compare(keyword, "*TM_ANIMATION")) {
        OpenBlock(c, MASLoader_Section::tmAnimation, "Illegal *TM_ANIMATION command in file");
    } else if (Compare(keyword, "}")) {
        if (!mNodeStack.empty()) mNodeStack.pop_back();
        Pop();
    }
}

void DAS_MAS_Importer::ParseLightObject(Cursor& c, const char* keyword) {
    ActiveNode("ParseLightObject");
    char text[kTokenSize];
    if (Compare(keyword, "*LIGHT_TYPE")) {
        if (c.GetToken(text, sizeof text) && !Compare(text, "Omni"))
            Fail("Only omni lights supported at this moment in history.");
    } else if (Compare(keyword, "*NODE_TM")) {
        OpenBlock(c, MASLoader_Section::nodeTM, "Illegal *NODE_TM command in file");
    } else if (Compare(keyword, "*LIGHT_SETTINGS")) {
        OpenBlock(c, MASLoader_Section::lightSettings, "Illegal *LIGHT_SETTINGS command in file");
    } else if (Compare(keyword, "*TM_ANIMATION")) {
        OpenBlock(c, MASLoader_Section::tmAnimation, "Illegal *TM_ANIMATION command in file");
    } else if (Compare(keyword, "}")) {
        mNodeStack.pop_back();
        Pop();
    }
}

void DAS_MAS_Importer::ParseLightSettings(const char* keyword) {
    ActiveNode("ParseLightSettings");
    if (Compare(keyword, "}")) Pop();
}
