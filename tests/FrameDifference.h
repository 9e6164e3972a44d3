// How far a rendered frame is from its reference picture, in measures that forgive the rasteriser's rounding (a
// level here and there, an edge pixel falling the other way) but not a changed rule, which moves or recolours shapes.
#pragma once

#include <string>

#include "Linux/Source/PngFile.h"

struct FrameDifference {
    // The largest difference, in levels (0..255), of one channel's mean over a kBlockSide-pixel square block.
    double worstBlock = 0.0;
    int worstBlockX = 0;  // that block's top left pixel
    int worstBlockY = 0;
    // The share of pixels (0..1) in which some channel differs by more than kFarLevels.
    double farShare = 0.0;
    // The share of pixels in which some channel differs by more than kNearLevels: rounding stays under it, while a
    // picture sampled another way moves many pixels a little, which neither blocks nor far pixels see.
    double nearShare = 0.0;
};

constexpr int kBlockSide = 16;
constexpr int kFarLevels = 32;
constexpr int kNearLevels = 8;

// Both pictures must have the same size; only red, green and blue count.
FrameDifference CompareFrames(const PngImage& expected, const PngImage& actual);

// Expected, actual and their difference side by side, amplified fourfold: rounding dark grey, a changed rule bright.
PngImage SideBySide(const PngImage& expected, const PngImage& actual);
