#include "FlashRule.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

double Linear(unsigned char value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct LinearTable {
    double level[256];
    LinearTable() {
        for (int i = 0; i < 256; ++i) level[i] = Linear(static_cast<unsigned char>(i));
    }
};

const LinearTable& Table() {
    static const LinearTable table;
    return table;
}

struct Point {
    int frame;
    double level;
};

}  // namespace

double RelativeLuminance(unsigned char r, unsigned char g, unsigned char b) {
    const double* level = Table().level;
    return 0.2126 * level[r] + 0.7152 * level[g] + 0.0722 * level[b];
}

const char* AreaName(int area) {
    static const char* const kNames[kAreas] = {"whole picture", "top left",    "top middle",    "top right",
                                               "middle left",   "centre",      "middle right",  "bottom left",
                                               "bottom middle", "bottom right"};
    return kNames[area];
}

void AreaLuminance(const unsigned char* rgb, int width, int height, double out[kAreas]) {
    // A 4 x 4 grid of cells: each quarter is a 2 x 2 block of them.
    double cell[4][4] = {};
    double pixels[4][4] = {};
    for (int y = 0; y < height; ++y) {
        const int row = y * 4 / height;
        const unsigned char* p = rgb + static_cast<long>(y) * width * 3;
        for (int x = 0; x < width; ++x, p += 3) {
            const int column = x * 4 / width;
            cell[row][column] += RelativeLuminance(p[0], p[1], p[2]);
            pixels[row][column] += 1.0;
        }
    }
    auto mean = [&](int row, int column, int size) {
        double sum = 0.0, count = 0.0;
        for (int r = row; r < row + size; ++r)
            for (int c = column; c < column + size; ++c) {
                sum += cell[r][c];
                count += pixels[r][c];
            }
        return count > 0.0 ? sum / count : 0.0;
    };
    out[0] = mean(0, 0, 4);
    for (int i = 0; i < 9; ++i) out[1 + i] = mean(i / 3, i % 3, 2);
}

std::vector<Change> OpposingChanges(const std::vector<double>& luminance) {
    std::vector<Change> changes;
    if (luminance.empty()) return changes;
    auto add = [&changes](Point from, Point to) {
        if (std::min(from.level, to.level) < kDarkerBelow) changes.push_back({to.frame, to.level > from.level});
    };
    Point low{0, luminance[0]};
    Point high = low;
    int trend = 0;  // 1: rising from low to high; -1: falling from high to low
    for (int i = 1; i < static_cast<int>(luminance.size()); ++i) {
        const double x = luminance[i];
        if (trend == 0) {
            if (x > high.level) high = {i, x};
            if (x < low.level) low = {i, x};
            if (high.level - low.level >= kChange) trend = high.frame > low.frame ? 1 : -1;
        } else if (trend > 0) {
            if (x > high.level) {
                high = {i, x};
            } else if (high.level - x >= kChange) {
                add(low, high);
                low = {i, x};
                trend = -1;
            }
        } else {
            if (x < low.level) {
                low = {i, x};
            } else if (x - low.level >= kChange) {
                add(high, low);
                high = {i, x};
                trend = 1;
            }
        }
    }
    if (trend > 0) add(low, high);
    if (trend < 0) add(high, low);
    return changes;
}

int ChangesIn(const std::vector<Change>& changes, int first, int end) {
    int count = 0;
    for (const Change& change : changes) count += change.frame >= first && change.frame < end;
    return count;
}

}  // namespace flash
