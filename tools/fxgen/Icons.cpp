// The application's icon: the opening scene's chrome ball, its sphere map
// seen as the ball itself, on a clear ground.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "Writers.h"

namespace {

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Each icon pixel averages this many samples a side: the ball's edge and its
// small window lights stay smooth at 16 x 16.
constexpr int kSamples = 4;

Canvas Icon(int size) {
    const Canvas ball = OpeningChromeEnvironment(size * kSamples);
    Canvas icon(size, size);
    const float half = 0.5f * ball.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Colours are summed weighted by coverage, so the clear ground
            // does not darken the edge.
            Colour sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int bx = x * kSamples + sx, by = y * kSamples + sy;
                    const float r = std::hypot(bx + 0.5f - half, by + 0.5f - half) / half;
                    if (r > 1.0f) continue;
                    // A darker rim keeps the ball's outline on a light desktop.
                    const float rim = r > 0.92f ? 0.55f : 1.0f;
                    const Colour c = ball.Get(bx, by);
                    sum = {sum.r + c.r * rim, sum.g + c.g * rim, sum.b + c.b * rim, sum.a + 1.0f};
                }
            if (sum.a == 0.0f) {
                icon.Set(x, y, Colour{0, 0, 0, 0});
                continue;
            }
            icon.Set(x, y, Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (kSamples * kSamples)});
        }
    return icon;
}

}  // namespace

void WriteIcons(const std::string& dir, const std::string& name) {
    mkdir(dir.c_str(), 0755);
    for (int size : kIconSizes) {
        const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size);
        mkdir(folder.c_str(), 0755);
        mkdir((folder + "/apps").c_str(), 0755);
        Icon(size).WritePng(folder + "/apps/" + name + ".png");
    }
}
