#include "Shapes.h"

#include <cmath>

namespace {

float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
    const float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy;
}

}  // namespace

bool InsideKestrel(float x, float y) {
    if (Ellipse(x, y, 0.0f, 0.0f, 0.9f, 2.6f) < 1.0f) return true;    // body
    if (Ellipse(x, y, 0.0f, 2.9f, 0.75f, 0.75f) < 1.0f) return true;  // head
    if (y < -2.0f && y > -5.2f && std::fabs(x) < 0.55f + 0.3f * (-2.0f - y)) return true;  // fanned tail
    // Wings: swept back, pointed, thinning towards the tips.
    const float ax = std::fabs(x);
    if (ax > 0.5f && ax < 7.5f) {
        const float lead = 1.4f - 0.28f * ax - 0.02f * ax * ax;
        const float trail = lead - (1.6f - 0.19f * ax);
        if (y < lead && y > trail) return true;
    }
    return false;
}

bool InsideHeart(float x, float y) {
    // (x^2 + y^2 - 1)^3 - x^2 y^3 < 0, scaled into the square.
    const float hx = x * 1.25f, hy = y * 1.25f + 0.15f;
    const float a = hx * hx + hy * hy - 1.0f;
    return a * a * a - hx * hx * hy * hy * hy < 0.0f;
}

bool InsideSun(float x, float y) {
    const float r = std::sqrt(x * x + y * y);
    if (r < 0.55f) return true;
    const float angle = std::atan2(y, x);
    const float ray = std::fabs(std::cos(6.0f * angle));
    return r < 0.95f && ray > 0.55f + 0.45f * (r - 0.55f) / 0.4f;
}
