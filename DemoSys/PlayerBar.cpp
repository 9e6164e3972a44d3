#include "PlayerBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Timeline.h"
#include "ViewerOffset.h"

namespace PlayerBar {

namespace {

// Rows top down, three columns each, the leftmost the highest bit.
struct Glyph {
    char character;
    unsigned char rows[kGlyphRows];
};
constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {':', {0, 2, 0, 2, 0}}, {'/', {1, 1, 2, 4, 4}},
    {'+', {0, 2, 7, 2, 0}}, {'-', {0, 0, 7, 0, 0}}, {'A', {2, 5, 7, 5, 5}}, {'V', {5, 5, 5, 5, 2}},
    {'M', {5, 7, 7, 5, 5}}, {'S', {7, 4, 7, 1, 7}},
};

const Glyph* GlyphOf(char c) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == c) return &glyph;
    return nullptr;  // a space
}

// Pixels to the -1 to 1 space.
struct Scale {
    float sx, sy;
    Box Of(float left, float bottom, float width, float height) const {
        return {left * sx - 1.0f, bottom * sy - 1.0f, (left + width) * sx - 1.0f, (bottom + height) * sy - 1.0f};
    }
};

}  // namespace

void Text(double showTime, char text[kTextSize]) {
    const int shown = static_cast<int>(std::floor(std::clamp(showTime, 0.0, kShowEnd)));
    const int length = static_cast<int>(kShowEnd);
    snprintf(text, kTextSize, "%d:%02d / %d:%02d", shown / 60, shown % 60, length / 60, length % 60);
}

void OffsetText(double seconds, char text[kTextSize]) {
    snprintf(text, kTextSize, "AV %+d MS", static_cast<int>(std::lround(seconds * 1000.0)));
}

void Layout(double showTime, Presentation::Size picture, Shapes& shapes) {
    const float cell = std::max(1.0f, std::floor(static_cast<float>(picture.height) / 130.0f));
    const Scale scale{2.0f / static_cast<float>(std::max(1, picture.width)),
                      2.0f / static_cast<float>(std::max(1, picture.height))};
    const float margin = 3.0f * cell;
    const float barHeight = cell;
    const float textBottom = margin + barHeight + 2.0f * cell;
    const float bandHeight = textBottom + kGlyphRows * cell + 2.0f * cell;
    const float width = static_cast<float>(picture.width);

    shapes.band = scale.Of(0.0f, 0.0f, width, bandHeight);
    const float trackWidth = width - 2.0f * margin;
    shapes.track = scale.Of(margin, margin, trackWidth, barHeight);
    const float played = static_cast<float>(std::clamp(showTime / kShowEnd, 0.0, 1.0));
    shapes.fill = scale.Of(margin, margin, trackWidth * played, barHeight);

    char text[2 * kTextSize];
    Text(showTime, text);
    if (ViewerOffset::LabelShown()) {
        strcat(text, "  ");
        OffsetText(ViewerOffset::Seconds(), text + strlen(text));
    }
    shapes.cellCount = 0;
    float left = margin;
    for (const char* c = text; *c; ++c, left += (kGlyphColumns + 1) * cell) {
        const Glyph* glyph = GlyphOf(*c);
        if (!glyph) continue;
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column)
                if ((glyph->rows[row] & (4 >> column)) && shapes.cellCount < kMostCells)
                    shapes.cells[shapes.cellCount++] = scale.Of(left + column * cell,
                                                                textBottom + (kGlyphRows - 1 - row) * cell, cell, cell);
    }
}

}  // namespace PlayerBar
