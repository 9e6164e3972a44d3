// How far a rendered frame is from its reference picture, in a measure that
// forgives the rasteriser's rounding (a level here and there, an edge pixel
// that falls the other way) but not a changed rule, which moves or recolours
// whole shapes.
#pragma once

#include <string>

#include "Linux/Source/PngFile.h"

struct FrameDifference {
    // The largest difference, in colour levels (0..255), between the mean of
    // one channel over a kBlockSide-pixel square block of the two pictures.
    double worstBlock = 0.0;
    int worstBlockX = 0;  // that block's top left pixel
    int worstBlockY = 0;
    // The share of pixels (0..1) in which some channel differs by more than
    // kFarLevels.
    double farShare = 0.0;
    // The share of pixels in which some channel differs by more than
    // kNearLevels: a rasteriser's rounding stays under it, while a picture
    // sampled another way moves many pixels by a little each, which neither a
    // block's mean nor the far pixels see.
    double nearShare = 0.0;
};

constexpr int kBlockSide = 16;
constexpr int kFarLevels = 32;
constexpr int kNearLevels = 8;

// Both pictures must have the same size; only red, green and blue count.
FrameDifference CompareFrames(const PngImage& expected, const PngImage& actual);

// Expected, actual and their difference (amplified fourfold, so that a
// rounding error shows dark grey and a changed rule bright) side by side.
PngImage SideBySide(const PngImage& expected, const PngImage& actual);
