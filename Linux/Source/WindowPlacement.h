// Where a window showing content of a fixed aspect goes on a screen: as large
// as the usable area allows, up to a largest scale of the content, centred in
// that area and fully inside it.
#pragma once

#include <algorithm>

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline ScreenRect PlaceWindow(const ScreenRect& usable, int contentWidth, int contentHeight, double largestScale) {
    const double scale = std::min({largestScale, static_cast<double>(usable.width) / contentWidth,
                                   static_cast<double>(usable.height) / contentHeight});
    ScreenRect window;
    window.width = std::max(1, static_cast<int>(contentWidth * scale));
    window.height = std::max(1, static_cast<int>(contentHeight * scale));
    window.x = usable.x + std::max(0, (usable.width - window.width) / 2);
    window.y = usable.y + std::max(0, (usable.height - window.height) / 2);
    return window;
}

// The largest whole scale of the content that fits the given share of the
// usable area; 1 when not even that fits, which PlaceWindow then shrinks.
inline int WholeScaleWithin(const ScreenRect& usable, int contentWidth, int contentHeight, double share) {
    const double across = share * usable.width / contentWidth, down = share * usable.height / contentHeight;
    return std::max(1, static_cast<int>(std::min(across, down)));
}

// The area left inside a rectangle once a frame of the given widths is taken off.
inline ScreenRect Inset(const ScreenRect& area, int top, int left, int bottom, int right) {
    return {area.x + left, area.y + top, std::max(1, area.width - left - right),
            std::max(1, area.height - top - bottom)};
}
