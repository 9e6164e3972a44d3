// The viewpoint a world is drawn from. The animation system writes its
// transform (camera to world); PrepareRender derives the view from it.
#pragma once

#include "BS/Export/BS_Math.h"

class B3D_World;

class B3D_Camera {
public:
    void PrepareRender(B3D_World& world);
    // Raise BS::Error when GL reports an error around the drawing.
    void Render(B3D_World& world);
    void RenderShadows(B3D_World& world);
    // Projection x shadow-map view; the index is not used.
    BS::Matrix44 GetShadowMapMatrix(int index) const;
    const BS::Matrix44& View() const { return mView; }

    BS::Matrix44 mTransform;
    BS::Matrix44 mView;
    BS::Matrix44 mShadowMapView;
    BS::Matrix44 mProjection;
};
