// General flashes as the guideline for flashing content counts them (WCAG
// 2.3.1): a pair of opposing changes in relative luminance of 0.1 or more,
// where the darker state is below 0.8; at most three in any one second over
// any quarter of the picture. Written from that rule alone, so that it can
// judge any way of softening the show's flashes.
#pragma once

#include <vector>

namespace flash {

inline constexpr double kChange = 0.1;
inline constexpr double kDarkerBelow = 0.8;
inline constexpr int kMostPerSecond = 3;

// sRGB decoded, then 0.2126 R + 0.7152 G + 0.0722 B.
double RelativeLuminance(unsigned char r, unsigned char g, unsigned char b);

// The whole picture, then nine quarters (half its width and half its
// height), overlapping by steps of a quarter: a flash over a quarter of the
// picture lies mostly inside one of them.
inline constexpr int kAreas = 10;
const char* AreaName(int area);
// Mean relative luminance of each area of a picture of RGB rows, top first.
void AreaLuminance(const unsigned char* rgb, int width, int height, double out[kAreas]);

// A change of 0.1 or more with its darker state below 0.8, dated by the
// frame where the picture reaches the level it changes to.
struct Change {
    int frame;
    bool rise;
};
// The changes of a picture's luminance, one per frame: the turning points
// are the levels the picture moves 0.1 away from in the other direction.
std::vector<Change> OpposingChanges(const std::vector<double>& luminance);
// The changes dated in frames [first, end). Two opposing changes make a
// flash, so a second holds more than three flashes from its seventh change
// on: a flash whose other half lies outside it still flashed within it.
int ChangesIn(const std::vector<Change>& changes, int first, int end);
inline bool TooMany(int changes) { return changes > 2 * kMostPerSecond; }

}  // namespace flash
