// The drawable unit: a transform, a visibility flag and render lists that
// model instances of one file share (a model never owns its lists).
#pragma once

#include <GLES2/gl2.h>

#include <vector>

#include "BS/Export/BS_Math.h"

class RenderList;
class Shader;
class SimpleMaterial;

struct Rect {
    float x, y, width, height;
};

class SimpleModel {
public:
    SimpleModel() = default;
    explicit SimpleModel(const std::vector<RenderList*>& lists) : mRenderLists(lists) {}

    RenderList* NewRenderList();
    std::vector<RenderList*>& GetRenderLists() { return mRenderLists; }
    const std::vector<RenderList*>& GetRenderLists() const { return mRenderLists; }

    void SetShaderProgram(Shader* shader);
    void SetMaterial(SimpleMaterial* material);
    void SetPrimitiveType(GLenum type);
    void Show() { mVisible = true; }
    void Hide() { mVisible = false; }

    // Model-space extents over every list's vertices; without vertices they
    // stay at the reset values (minima 100000, maxima -100000).
    void UpdateExtremes();

    // Draws with view-projection A (times the transform) and shadow matrix B.
    void Render(const BS::Matrix44& a, const BS::Matrix44& b);
    void RenderShadowMap(const BS::Matrix44& a, const BS::Matrix44& b);
    // A square of the largest extent, centred on the model's origin.
    Rect GetBoundingBox() const;

    BS::Matrix44 mTransform;
    bool mVisible = true;
    // Maximum y, minimum y, minimum x, maximum x, maximum z, minimum z.
    float mExtents[6] = {0, 0, 0, 0, 0, 0};

private:
    std::vector<RenderList*> mRenderLists;
};
