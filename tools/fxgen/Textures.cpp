#include "Textures.h"

#include <cmath>
#include <string>

#include "Noise.h"

Canvas ParticleSprite(int size, const Colour& core, const Colour& rim, float solidCore) {
    Canvas c(size, size);
    c.Fill([&](float u, float v) {
        // The triangle's incircle: centre (0.5, 2/3), radius about 0.3.
        const float d = std::hypot(u - 0.5f, v - 0.64f) / 0.3f;
        const float glow = Clamp01(1.0f - d);
        const float opacity = Clamp01(glow / (1.0f - solidCore));
        Colour colour = Mix(rim, core, glow * glow);
        colour.a = opacity * opacity * (3.0f - 2.0f * opacity);
        return colour;
    });
    return c;
}

Canvas ChromeEnvironment(int size, const Colour& sky, const Colour& horizon, const Colour& ground) {
    Canvas c(size, size);
    c.Fill([&](float u, float v) {
        const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
        const float r = std::sqrt(x * x + y * y);
        if (r > 1.0f) return Colour{ground.r * 0.5f, ground.g * 0.5f, ground.b * 0.5f, 1.0f};
        // Sphere-map: y up in the picture is up in the world.
        const float up = -y;
        Colour base = up > 0.0f ? Mix(horizon, sky, std::pow(up, 0.6f)) : Mix(horizon, ground, std::pow(-up, 0.4f));
        const float band = std::exp(-std::fabs(up - 0.05f) * 18.0f);
        base = Mix(base, Colour{1, 1, 1, 1}, band * 0.8f);
        // Window lights in the sky, streaks on the ground.
        for (int i = 0; i < 5; ++i) {
            const float cx = -0.6f + 0.3f * i, cy = -0.55f + 0.1f * std::sin(3.0f * i);
            const float d = std::hypot(x - cx, (y - cy) * 1.6f);
            base = Mix(base, Colour{1, 1, 0.95f, 1}, Clamp01(1.0f - d / 0.07f));
        }
        const float grain = FractalNoise(u * 16.0f, v * 16.0f, 3, 17u);
        base = Mix(base, Colour{0, 0, 0, 1}, 0.15f * grain * (up < 0.0f ? 1.0f : 0.3f));
        base.a = 1.0f;
        return base;
    });
    return c;
}

void CentredLines(Canvas& canvas, int y, const char* const* lines, int count, int scale, int lineGap,
                  const Colour& colour) {
    for (int i = 0; i < count; ++i) {
        const std::string line = lines[i];
        canvas.Text((canvas.Width() - Canvas::TextWidth(line, scale)) / 2, y, line, scale, colour);
        y += (7 * scale) + lineGap;
    }
}
