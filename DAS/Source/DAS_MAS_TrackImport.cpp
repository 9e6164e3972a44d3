// Transform tracks, camera intervals, float tracks and parameter animations.
#include <cmath>
#include <cstdio>

#include "BS/Export/BS_Error.h"
#include "DAS.h"
#include "DAS_MAS_Importer.h"
#include "DAS_MAS_Lexer.h"

using MAS::Compare;
using MAS::Cursor;

namespace {

constexpr float kAxisEpsilon = 0.0001f;

}  // namespace

void DAS_MAS_Importer::ParseTMAnimation(Cursor& c, const char* keyword) {
    ActiveNode("ParseTMAnimation");
    char text[MAS::kTokenSize];
    if (Compare(keyword, "*NODE_NAME")) {
        if (c.GetString(text, sizeof text)) mTarget = MAS::EndsWith(text, ".Target");
    } else if (Compare(keyword, "*CONTROL_POS_TRACK")) {
        RequireBrace(c, "Incorrect *CONTROL_POS_TRACK command in BN3D_MASLoader::ParseTMAnimation");
        Push(MASLoader_Section::posTrack);
    } else if (Compare(keyword, "*CONTROL_ROT_TRACK")) {
        RequireBrace(c, "Incorrect *CONTROL_ROT_TRACK command in ParseTMAnimation");
        Push(MASLoader_Section::rotTrack);
    } else if (Compare(keyword, "*CONTROL_FLOAT_SAMPLE")) {
        if (c.GetString(text, sizeof text))
            OpenBlock(c, MASLoader_Section::floatTrack, "Incorrect *CONTROL_FLOAT_SAMPLE command in ParseTMAnimation");
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseControlPosTrack(Cursor& c, const char* keyword) {
    DAS_Node* node = ActiveNode("ParseControlPosTrack");
    if (Compare(keyword, "*SAMPLES")) {
        OpenBlock(c, MASLoader_Section::posSamples, "Invalid *SAMPLES command in MAS file");
    } else if (Compare(keyword, "*CONTROL_POS_SAMPLE")) {
        int ticks;
        float v[3];
        if (!c.GetInteger(&ticks) || c.GetFloats(v, 3) != 3) return;
        // Written as the show's coordinates already; tick 0 is the node transform's.
        if (ticks != 0 && !mTarget)
            node->mAnimator.AddPositionKey(
                DAS_ObjectPositionKeyframe(BS::Vector3(v[0], v[1], v[2]), Seconds(static_cast<float>(ticks))));
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParsePositionSample(Cursor& c, const char* keyword) {
    DAS_Node* node = ActiveNode("ParseControlPosTrack");
    if (Compare(keyword, "}")) return Pop();
    int ticks;
    float v[3];
    Cursor record(const_cast<char*>(keyword));
    if (!record.GetInteger(&ticks) || c.GetFloats(v, 3) != 3 || mTarget) return;
    const DAS_ObjectPositionKeyframe key(BS::Vector3(-v[0], v[1], -v[2]), Seconds(static_cast<float>(ticks)));
    if (ticks == 0) node->mAnimator.ReplaceFirstPositionKey(key);
    else node->mAnimator.AddPositionKey(key);
}

void DAS_MAS_Importer::ParseControlRotTrack(Cursor& c, const char* keyword) {
    ActiveNode("ParseControlRotTrack");
    if (Compare(keyword, "*SAMPLES")) {
        OpenBlock(c, MASLoader_Section::rotSamples, "Illegal *SAMPLES command in MAS file");
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseRotationSample(Cursor& c, const char* keyword) {
    DAS_Node* node = ActiveNode("ParseControlRotTrack");
    if (Compare(keyword, "}")) return Pop();
    int ticks;
    float v[4];
    Cursor record(const_cast<char*>(keyword));
    if (!record.GetInteger(&ticks) || c.GetFloats(v, 4) != 4 || mTarget) return;
    // Each sample is an absolute orientation; a vanishing axis is no turn at all.
    const bool turns = std::fabs(v[0]) > kAxisEpsilon || std::fabs(v[1]) > kAxisEpsilon || std::fabs(v[2]) > kAxisEpsilon;
    const BS::Vector3 axis = turns ? BS::Vector3(v[0], -v[1], v[2]) : BS::Vector3(0.0f, 0.0f, 0.0f);
    BS::Matrix44 r = axis.GetQuaternion(v[3]).Matrix();
    if (dynamic_cast<DAS_CameraNode*>(node)) r = r * CameraCorrection();
    const DAS_ObjectRotationKeyframe key(r, Seconds(static_cast<float>(ticks)));
    if (ticks == 0) node->mAnimator.ReplaceFirstRotationKey(key);
    else node->mAnimator.AddRotationKey(key);
}

void DAS_MAS_Importer::ParseControlFloatSample(Cursor& c, const char* keyword) {
    if (mMASSection.back() == MASLoader_Section::floatTrack && Compare(keyword, "*SAMPLES")) {
        OpenBlock(c, MASLoader_Section::floatSamples, "Invalid *SAMPLES command in MAS file");
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseParameterAnimation(Cursor& c, const char* keyword) {
    char text[MAS::kTokenSize];
    if (Compare(keyword, "*PARAMETER")) {
        if (c.GetString(text, sizeof text)) printf("Animation not yet implemented for parameter '%s'\n", text);
    } else if (Compare(keyword, "*CONTROL_FLOAT_SAMPLE")) {
        if (c.GetString(text, sizeof text))
            OpenBlock(c, MASLoader_Section::floatTrack, "Incorrect *CONTROL_FLOAT_SAMPLE command in ParseTMAnimation");
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}

void DAS_MAS_Importer::ParseCameraSettings(Cursor& c, const char* keyword) {
    auto* camera = dynamic_cast<DAS_CameraNode*>(ActiveNode("ParseCameraSettings"));
    int ticks;
    if (Compare(keyword, "*CAMERA_START_FRAME")) {
        if (!c.GetInteger(&ticks) || !camera) return;
        printf("(start) Current interval count: %d\n", camera->mIntervalCount);
        if (camera->mIntervalCount >= DAS_CameraNode::kMaxIntervals) Fail("A camera holds at most 32 intervals");
        camera->mIntervalStarts[camera->mIntervalCount] = Seconds(static_cast<float>(ticks));
    } else if (Compare(keyword, "*CAMERA_END_FRAME")) {
        if (!c.GetInteger(&ticks) || !camera) return;
        printf("(end) Current interval count: %d\n", camera->mIntervalCount);
        if (camera->mIntervalCount >= DAS_CameraNode::kMaxIntervals) Fail("A camera holds at most 32 intervals");
        camera->mIntervalEnds[camera->mIntervalCount++] = Seconds(static_cast<float>(ticks));
    } else if (Compare(keyword, "}")) {
        Pop();
    }
}
