#include <cmath>

#include "Canvas.h"
#include "Random.h"
#include "Writers.h"

// The landscape 480 x 320 picture shown, turned onto the portrait screen,
// while everything loads.
void WriteLoadingPicture(const std::string& fxData) {
    Canvas c(480, 320);
    c.VerticalGradient({0.02f, 0.02f, 0.08f, 1}, {0.16f, 0.05f, 0.12f, 1});
    Random random(0x6B657374u);
    for (int i = 0; i < 220; ++i) {
        const int x = static_cast<int>(random.Unit() * 480), y = static_cast<int>(random.Unit() * 200);
        const float b = 0.3f + 0.7f * random.Unit();
        c.Blend(x, y, {b, b, 1.0f, b});
    }
    // A glowing horizon with the sun half set.
    for (int y = 200; y < 320; ++y)
        for (int x = 0; x < 480; ++x) {
            const float glow = std::exp(-std::fabs(y - 214.0f) / 10.0f);
            c.Blend(x, y, {1.0f, 0.45f, 0.2f, 0.8f * glow});
        }
    for (int y = 150; y < 214; ++y)
        for (int x = 180; x < 300; ++x) {
            const float d = std::hypot(x - 240.0f, y - 214.0f);
            if (d < 60.0f) c.Blend(x, y, {1.0f, 0.6f + 0.3f * (214 - y) / 64.0f, 0.3f, 1.0f});
        }
    const std::string title = "KESTREL";
    c.Text((480 - Canvas::TextWidth(title, 8)) / 2, 60, title, 8, {1.0f, 0.95f, 0.9f, 1.0f});
    const std::string loading = "LOADING...";
    c.Text((480 - Canvas::TextWidth(loading, 2)) / 2, 280, loading, 2, {0.9f, 0.8f, 1.0f, 0.9f});
    c.WritePng(fxData + "/loading.png");
}
