#include "overlay.h"

#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>

#include "BS/Export/BS_Math.h"
#include "DemoSys/DemoLog.h"
#include "DemoSys/DemoSys.h"
#include "DemoSys/Riraru3Z/Shader.h"
#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "DemoSys/Riraru3Z/StreamingVertexBuffer.h"
#include "OverlayDrawings.h"
#include "SceneSupport.h"

namespace {

static_assert(overlay::kCorners == 3 * kOverlayTriangles, "every corner of the drawings is drawn, and no other");

constexpr float kPictureScale = 2.5f;
constexpr size_t kPositionBytes = overlay::kCorners * 2 * sizeof(float);
constexpr size_t kColourBytes = overlay::kCorners * 4 * sizeof(float);

void DecodeCorner(const unsigned char* vertices, int corner, float& x, float& y) {
    y = vertices[2 * corner] / 255.0f - 0.5f;
    x = 0.5f - vertices[2 * corner + 1] / 255.0f;
}

}  // namespace

void overlay::interpolateOverlay(float angle, float b, const unsigned char* vertices, const unsigned char* colors,
                                 float* positions, float* colours) {
    BS::Matrix44 rotation;
    rotation.Rotate(BS::Vector3(0.0f, 0.0f, 1.0f), angle);
    for (int i = 0; i < kOverlayTriangles; ++i) {
        float rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = ((1.0f - b) * colors[3 * i + c] + b * brud2_colors[3 * i + c]) / 255.0f;
        const float alpha = std::sqrt(rgb[0] * rgb[0] + rgb[1] * rgb[1] + rgb[2] * rgb[2]);
        for (int k = 0; k < 3; ++k) {
            const int corner = 3 * i + k;
            float xA, yA, xB, yB;
            DecodeCorner(vertices, corner, xA, yA);
            DecodeCorner(brud2_vertices, corner, xB, yB);
            const BS::Vector3 p = rotation.TransformPoint(
                BS::Vector3((1.0f - b) * xA + b * xB, (1.0f - b) * yA + b * yB, 0.0f));
            positions[2 * corner] = kPictureScale * p.x;
            positions[2 * corner + 1] = kPictureScale * p.y;
            float* colour = &colours[4 * corner];
            colour[0] = rgb[0];
            colour[1] = rgb[1];
            colour[2] = rgb[2];
            colour[3] = alpha;
        }
    }
}

float overlay::Rock(float fxTime) { return 0.25f * std::sin(2.0f * fxTime); }

float overlay::Blend(float fxProgress) { return (1.0f - std::cos(2.0f * kPi * fxProgress)) / 2.0f; }

void overlay::load() {
    printf("\n\nOVERLAY // LOAD\n\n");
    mShader = Shader::LoadShader(FxPath("/FxData/Overlays/Blend2D"));
    mPositions = new float[kCorners * 2];
    mColours = new float[kCorners * 4];
    mVertexBuffer = new StreamingVertexBuffer(kPositionBytes + kColourBytes);
    mBackground = SimpleMaterial::LoadRectTextureFromFile(FxPath("/FxData/manetjakt/background.png"));
}

void overlay::drawForFxTime(float t, float, float p, float) {
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawFullScreen(mBackground);

    const bool firstHalf = p < 0.5f;
    interpolateOverlay(Rock(t), Blend(p), firstHalf ? brud1_vertices : brud3_vertices, firstHalf ? brud1_colors : brud3_colors,
                       mPositions, mColours);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    mShader->BindShader();
    mVertexBuffer->Stream(mPositions, kPositionBytes);
    mVertexBuffer->Stream(mColours, kColourBytes, kPositionBytes);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, StreamingVertexBuffer::At(0));
    CheckGLError("DrawRect/1");
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, 0, StreamingVertexBuffer::At(kPositionBytes));
    CheckGLError("DrawRect/2");
    // Nothing else sets this colour: white leaves the drawing's own colours.
    glUniform1i(mShader->GetUniformDiffuseMap(), 0);
    glUniform4fv(mShader->GetUniformColor(), 1, DemoSys::kWhite);
    CheckGLError("DrawRect/3");
    glDrawArrays(GL_TRIANGLES, 0, kCorners);
    CheckGLError("DrawRect/4");
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(2);
    StreamingVertexBuffer::Unbind();
    glDisable(GL_BLEND);
}
