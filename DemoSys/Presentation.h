// How a host shows the finished screen: the show was made for a device held
// sideways, so the 320 x 480 portrait screen is turned back a quarter turn
// (its right edge on top) into a 480 x 320 landscape picture, unless the
// viewer asks for the raw portrait screen. The picture is fitted into the
// host's drawable with its aspect kept, and the render scale is chosen so
// that the picture's pixels cover the fitted rectangle. Pure arithmetic, no
// GL: every host (a window, a browser page) follows the same rule.
#pragma once

namespace Presentation {

// The largest render scale chosen to cover a drawable; beyond it the software
// rasteriser cannot keep up, and the picture is enlarged instead.
inline constexpr float kLargestCoveringScale = 4.0f;

struct Size {
    int width = 0;
    int height = 0;
};
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The presented picture's size at render scale 1: 480 x 320 upright,
// 320 x 480 portrait.
Size PictureSize(bool upright);

// The largest rectangle of the picture's aspect inside a drawable, centred;
// the rest of the drawable shows black bars.
Rect FitPicture(Size drawable, bool upright);

// The smallest render scale, in steps of a quarter, whose picture covers the
// picture's fitted rectangle in the drawable, from 1 to kLargestCoveringScale.
float CoveringScale(Size drawable, bool upright);

// Where each corner of the fitted rectangle samples the screen's colour
// texture (s along the portrait screen's x, t up its GL rows), for the
// corners bottom left, bottom right, top left, top right: s, t pairs.
void CornerTexCoords(bool upright, float texCoords[8]);

}  // namespace Presentation
