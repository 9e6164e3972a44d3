#include "Presentation.h"

#include <algorithm>

#include "Host.h"

namespace Presentation {

Size PictureSize(bool upright) {
    const int w = DisplaySurface::kScreenWidth, h = DisplaySurface::kScreenHeight;
    return upright ? Size{h, w} : Size{w, h};
}

Rect FitPicture(Size drawable, bool upright) {
    const Size picture = PictureSize(upright);
    Rect fitted{0, 0, drawable.width, drawable.width * picture.height / picture.width};
    if (fitted.height > drawable.height) {
        fitted.height = drawable.height;
        fitted.width = drawable.height * picture.width / picture.height;
    }
    fitted.x = (drawable.width - fitted.width) / 2;
    fitted.y = (drawable.height - fitted.height) / 2;
    return fitted;
}

float CoveringScale(Size drawable, bool upright) {
    const Size picture = PictureSize(upright);
    const Rect fitted = FitPicture(drawable, upright);
    // Quarters of the picture's size, rounded up: the picture's width and
    // height are multiples of four, so every step is whole pixels.
    const int stepsPerScale = static_cast<int>(1.0f / Host::kRenderScaleStep);
    const int across = (fitted.width * stepsPerScale + picture.width - 1) / picture.width;
    const int down = (fitted.height * stepsPerScale + picture.height - 1) / picture.height;
    const float covering = static_cast<float>(std::max(across, down)) * Host::kRenderScaleStep;
    return std::clamp(covering, 1.0f, kLargestCoveringScale);
}

void CornerTexCoords(bool upright, float texCoords[8]) {
    // Upright, the picture's top is the screen's right edge (s = 1) and its
    // left the screen's top (t = 1).
    static const float kUpright[8] = {0, 1, 0, 0, 1, 1, 1, 0};
    static const float kPortrait[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const float* chosen = upright ? kUpright : kPortrait;
    std::copy(chosen, chosen + 8, texCoords);
}

}  // namespace Presentation
