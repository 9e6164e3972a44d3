#include "FrameDifference.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

int LevelDifference(const PngImage& a, const PngImage& b, size_t pixel) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(a.rgba[pixel * 4 + c] - b.rgba[pixel * 4 + c]));
    return largest;
}

}  // namespace

FrameDifference CompareFrames(const PngImage& expected, const PngImage& actual) {
    FrameDifference result;
    const int width = expected.width;
    const int height = expected.height;
    int far = 0, near = 0;
    for (int by = 0; by < height; by += kBlockSide) {
        for (int bx = 0; bx < width; bx += kBlockSide) {
            long sums[3] = {0, 0, 0};
            int count = 0;
            for (int y = by; y < std::min(by + kBlockSide, height); ++y) {
                for (int x = bx; x < std::min(bx + kBlockSide, width); ++x) {
                    const size_t pixel = static_cast<size_t>(y) * width + x;
                    for (int c = 0; c < 3; ++c) sums[c] += actual.rgba[pixel * 4 + c] - expected.rgba[pixel * 4 + c];
                    const int level = LevelDifference(expected, actual, pixel);
                    far += level > kFarLevels;
                    near += level > kNearLevels;
                    ++count;
                }
            }
            for (long sum : sums) {
                const double block = std::abs(static_cast<double>(sum)) / count;
                if (block > result.worstBlock) {
                    result.worstBlock = block;
                    result.worstBlockX = bx;
                    result.worstBlockY = by;
                }
            }
        }
    }
    result.farShare = static_cast<double>(far) / (static_cast<double>(width) * height);
    result.nearShare = static_cast<double>(near) / (static_cast<double>(width) * height);
    return result;
}

PngImage SideBySide(const PngImage& expected, const PngImage& actual) {
    PngImage sheet;
    sheet.width = expected.width * 3;
    sheet.height = expected.height;
    sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, 255);
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const size_t pixel = static_cast<size_t>(y) * expected.width + x;
            const uint8_t level = static_cast<uint8_t>(std::min(255, 4 * LevelDifference(expected, actual, pixel)));
            const uint8_t* from[3] = {&expected.rgba[pixel * 4], &actual.rgba[pixel * 4], nullptr};
            for (int panel = 0; panel < 3; ++panel) {
                uint8_t* to = &sheet.rgba[(static_cast<size_t>(y) * sheet.width + panel * expected.width + x) * 4];
                for (int c = 0; c < 3; ++c) to[c] = from[panel] ? from[panel][c] : level;
            }
        }
    }
    return sheet;
}
