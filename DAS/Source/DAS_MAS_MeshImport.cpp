// The mesh, morph and skin blocks of a geometry object.
#include <cmath>
#include <cstdio>

#include "B3D/Source/B3D_Mesh.h"
#include "BS/Export/BS_Error.h"
#include "DAS.h"
#include "DAS_MAS_Importer.h"
#include "DAS_MAS_Lexer.h"

using MAS::Compare;
using MAS::Cursor;

namespace {

constexpr float kDegreeCoordinates = 0.0027777778f;  // 1 / 360: coordinates written in degrees

}  // namespace

void DAS_MAS_Importer::ParseMesh(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseMesh");
    float ticks;
    if (Compare(keyword, "*TIMEVALUE")) {
        if (c.GetFloat(&ticks)) mCurrentTime = Seconds(ticks);
    } else if (Compare(keyword, "*MESH_NUMVERTEX")) {
        c.GetInteger(&mVertexCount);
    } else if (Compare(keyword, "*MESH_NUMFACES")) {
        c.GetInteger(&mFaceCount);
    } else if (Compare(keyword, "*MESH_VERTEX_LIST")) {
        if (OptionalBrace(c, "Illegal *MESH_VERTEX_LIST command in file")) {
            node->AllocateMemory(static_cast<unsigned>(mFaceCount), static_cast<unsigned>(mVertexCount));
            mVertexCounter = 0;
            Push(MASLoader_Section::vertexList);
        }
    } else if (Compare(keyword, "*MESH_FACE_LIST")) {
        OpenBlock(c, MASLoader_Section::faceList, "Illegal *MESH_FACE_LIST command in file");
    } else if (Compare(keyword, "*MESH_NORMALS")) {
        OpenBlock(c, MASLoader_Section::normals, "Illegal *MESH_NORMALS command in file");
    } else if (Compare(keyword, "*MESH_MAPPINGCHANNEL")) {
        int channel;
        if (c.GetInteger(&channel)) OpenBlock(c, MASLoader_Section::mappingChannel, "Illegal *MESH_MAPPINGCHANNEL command in file");
    } else if (Compare(keyword, "}")) {
        BuildFaces();
        mFaces.clear();
        mTextureVertices.clear();
        mNormals.clear();
        mVertexCount = mFaceCount = 0;
        Pop();
    }
}

void DAS_MAS_Importer::ParseMeshAnimation(Cursor& c, const char* keyword) {
    ActiveNode("ParseMeshAnimation");
    if (Compare(keyword, "*MESH")) {
        OpenBlock(c, MASLoader_Section::mesh, "Illegal *MESH command in file");
    } else if (Compare(keyword, "}")) {
        mMeshAnimation = false;
        Pop();
    }
}

void DAS_MAS_Importer::ParseMeshVertexList(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseMeshVertexList");
    if (Compare(keyword, "}")) return Pop();
    float v[3];
    Cursor record(const_cast<char*>(keyword));
    if (record.GetFloats(v, 1) != 1 || c.GetFloats(v + 1, 2) != 2) return;
    const BS::Vector3 p(-v[0], v[1], -v[2]);
    if (!mMeshAnimation) {
        node->Mesh()->CreateVertex(p.x, p.y, p.z);
        node->mVertexAnimator.AddKey(DAS_VertexKeyframe(p, kDefaultKeyTime), mVertexCounter);
    } else if (mCurrentTime != 0.0f) {
        if (mVertexCounter >= node->Mesh()->VertexNum()) Fail("An animation frame has more vertices than its mesh");
        node->mVertexAnimator.AddKey(DAS_VertexKeyframe(p, mCurrentTime), mVertexCounter);
    }
    ++mVertexCounter;
    mNormals.emplace_back(0.0f, 0.0f, 0.0f);
}

void DAS_MAS_Importer::ParseMeshFaceList(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseMeshFaceList");
    if (Compare(keyword, "}")) return Pop();
    int corner[3];
    Cursor record(const_cast<char*>(keyword));
    if (!record.GetInteger(&corner[0]) || !c.GetInteger(&corner[1]) || !c.GetInteger(&corner[2])) return;
    const int vertices = static_cast<int>(node->Mesh()->VertexNum());
    for (int index : corner)
        if (index < 0 || index >= vertices) Fail("Illegal *MESH_FACE command");
    mFaces.push_back({{corner[0], corner[2], corner[1]}, {-1, -1, -1}});
}

void DAS_MAS_Importer::ParseMeshNormals(Cursor& c, const char* keyword) {
    ActiveMeshNode("ParseMesh");
    if (Compare(keyword, "*MESH_VERTEXNORMAL")) {
        int index;
        float n[3];
        if (!c.GetInteger(&index) || c.GetFloats(n, 3) != 3) return;
        if (index < 0 || index >= static_cast<int>(mNormals.size()))
            Fail("*MESH_VERTEXNORMAL names a vertex the vertex list did not give");
        mNormals[static_cast<size_t>(index)] = BS::Vector3(n[0], n[2], -n[1]);
        mHasNormals = true;
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseMeshMappingChannel(Cursor& c, const char* keyword) {
    ActiveMeshNode("ParseMeshMappingChannel");
    if (Compare(keyword, "*MESH_TVERTLIST")) {
        OpenBlock(c, MASLoader_Section::tvertList, "Illegal *MESH_TVERTLIST command in file");
    } else if (Compare(keyword, "*MESH_TFACELIST")) {
        if (OptionalBrace(c, "Illegal *MESH_TFACELIST command in file")) {
            mTextureFaceCounter = 0;
            Push(MASLoader_Section::tfaceList);
        }
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseTVertList(Cursor& c, const char* keyword) {
    if (Compare(keyword, "}")) return Pop();
    float t[3];
    Cursor record(const_cast<char*>(keyword));
    if (record.GetFloats(t, 1) != 1 || c.GetFloats(t + 1, 2) != 2) return;
    mTextureVertices.emplace_back(t[0], 1.0f - t[1]);
}

void DAS_MAS_Importer::ParseTFaceList(Cursor& c, const char* keyword) {
    if (Compare(keyword, "}")) return Pop();
    int corner[3];
    Cursor record(const_cast<char*>(keyword));
    if (!record.GetInteger(&corner[0]) || !c.GetInteger(&corner[1]) || !c.GetInteger(&corner[2])) return;
    if (mTextureFaceCounter >= mFaces.size()) Fail("*MESH_TFACELIST holds more records than the mesh has faces");
    int* texture = mFaces[mTextureFaceCounter++].texture;
    texture[0] = corner[0];
    texture[1] = corner[2];
    texture[2] = corner[1];
}

void DAS_MAS_Importer::BuildFaces() {
    DAS_MeshNode* node = ActiveMeshNode("ParseMesh");
    B3D_Mesh* mesh = node->Mesh();
    const int textures = static_cast<int>(mTextureVertices.size());
    for (size_t i = 0; i < mFaces.size(); ++i) {
        const MASLoader_Face& face = mFaces[i];
        BS::Vector3 normals[3];
        BS::Vector2 uv[3];
        const bool textured = textures > 0 && face.texture[0] >= 0 && face.texture[1] >= 0 && face.texture[2] >= 0;
        for (int k = 0; k < 3; ++k) {
            const size_t vertex = static_cast<size_t>(face.vertex[k]);
            if (mHasNormals && vertex < mNormals.size()) normals[k] = mNormals[vertex];
            if (!textured) continue;
            if (face.texture[k] >= textures) Fail("A texture face names a texture vertex past the last one");
            uv[k] = mTextureVertices[static_cast<size_t>(face.texture[k])];
        }
        const unsigned faceIndex = static_cast<unsigned>(i);
        if (!mMeshAnimation) {
            mesh->CreateFace(static_cast<unsigned>(face.vertex[0]), static_cast<unsigned>(face.vertex[1]),
                             static_cast<unsigned>(face.vertex[2]));
            node->mFaceAnimator.AddKey(DAS_FaceKeyframe(uv, normals, kDefaultKeyTime), faceIndex);
            for (int k = 0; k < 3; ++k) node->mFaceAnimator.mFaces[i].mVertexIndices[k] = face.vertex[k];
            if (std::fabs(uv[0].x) > 1.0f)
                for (BS::Vector2& t : uv) t *= kDegreeCoordinates;
            for (int k = 0; k < 3; ++k) {
                float* target = mesh->TextureVertex(static_cast<unsigned>(face.vertex[k]));
                target[0] = uv[k].x;
                target[1] = uv[k].y;
            }
        } else if (mCurrentTime != 0.0f) {
            node->mFaceAnimator.AddKey(DAS_FaceKeyframe(uv, normals, mCurrentTime), faceIndex);
        }
    }
}

void DAS_MAS_Importer::ParseMeshSkinModifier(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseMeshSkinModifier");
    if (Compare(keyword, "*SKIN_INIT_TM")) {
        OpenBlock(c, MASLoader_Section::skinInitTM, "Illegal *SKIN_INIT_TM command in file");
    } else if (Compare(keyword, "*SKIN_BONE")) {
        if (OptionalBrace(c, "Illegal *SKIN_BONE command in file")) {
            node->AddBone(new DAS_SkinBone());
            Push(MASLoader_Section::skinBone);
        }
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseInitTM(Cursor& c, const char* keyword, BS::Matrix44& matrix, BS::Matrix44& inverse) {
    static const char* const kRows[4] = {"*TM_ROW0", "*TM_ROW1", "*TM_ROW2", "*TM_ROW3"};
    for (int row = 0; row < 4; ++row) {
        if (!Compare(keyword, kRows[row])) continue;
        float v[3];
        if (c.GetFloats(v, 3) == 3) matrix.SetRow(row, BS::Vector4(v[0], v[1], v[2], row == 3 ? 1.0f : 0.0f));
        return;
    }
    if (!Compare(keyword, "}")) return;
    // The file's rows become columns; then x and z turn round into the show's frame.
    matrix.Transpose();
    BS::Matrix44 flip;
    flip.m[0] = -1.0f;
    flip.m[10] = -1.0f;
    matrix *= flip;
    inverse = matrix;
    inverse.Inverse();
    Pop();
}

void DAS_MAS_Importer::ParseSkinBone(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseMeshSkinModifier");
    char text[MAS::kTokenSize];
    if (Compare(keyword, "*BONE_NAME")) {
        if (c.GetString(text, sizeof text) && !node->Bones().empty()) node->Bones().back()->name = text;
    } else if (Compare(keyword, "*BONE_INIT_TM")) {
        OpenBlock(c, MASLoader_Section::boneInitTM, "Illegal *BONE_INIT_TM command in file");
    } else if (Compare(keyword, "*BONE_VERTICES")) {
        OpenBlock(c, MASLoader_Section::boneVertices, "Illegal *BONE_VERTICES command in file");
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseBoneVertices(Cursor& c, const char* keyword) {
    DAS_MeshNode* node = ActiveMeshNode("ParseBoneVertices");
    if (node->Bones().empty()) Fail("Inside ParseBoneVertices, but there is no active bone!");
    if (Compare(keyword, "}")) return Pop();
    int vertex;
    float weight;
    Cursor record(const_cast<char*>(keyword));
    if (!record.GetInteger(&vertex) || !c.GetFloat(&weight)) return;
    if (vertex < 0 || vertex >= static_cast<int>(node->mVertexAnimator.mVertices.size()))
        Fail("*BONE_VERTICES names a vertex the mesh does not have");
    node->mVertexAnimator.mVertices[static_cast<size_t>(vertex)].mInfluences.push_back({weight, node->Bones().back()});
}
