#include "Canvas.h"

#include <algorithm>
#include <stdexcept>

#include "BitmapFont.h"
#include "Linux/Source/PngFile.h"

Colour Mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Canvas::Canvas(int width, int height)
    : mWidth(width), mHeight(height), mPixels(static_cast<size_t>(width) * height, Colour{0, 0, 0, 1}) {}

void Canvas::Set(int x, int y, const Colour& c) {
    if (x >= 0 && y >= 0 && x < mWidth && y < mHeight) mPixels[static_cast<size_t>(y) * mWidth + x] = c;
}

Colour Canvas::Get(int x, int y) const { return mPixels[static_cast<size_t>(y) * mWidth + x]; }

void Canvas::Blend(int x, int y, const Colour& c) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
    Colour& p = mPixels[static_cast<size_t>(y) * mWidth + x];
    const float a = c.a;
    p = {p.r + (c.r - p.r) * a, p.g + (c.g - p.g) * a, p.b + (c.b - p.b) * a, p.a + (1.0f - p.a) * a};
}

void Canvas::VerticalGradient(const Colour& top, const Colour& bottom) {
    for (int y = 0; y < mHeight; ++y) {
        const Colour c = Mix(top, bottom, mHeight > 1 ? static_cast<float>(y) / (mHeight - 1) : 0.0f);
        for (int x = 0; x < mWidth; ++x) Set(x, y, c);
    }
}

void Canvas::Fill(const std::function<Colour(float u, float v)>& shade) {
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            Set(x, y, shade((x + 0.5f) / mWidth, (y + 0.5f) / mHeight));
}

int Canvas::TextWidth(const std::string& text, int scale) {
    return static_cast<int>(text.size()) * (BitmapFont::kGlyphWidth + 1) * scale - scale;
}

void Canvas::Text(int x, int y, const std::string& text, int scale, const Colour& c) {
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t* rows = BitmapFont::Glyph(text[i]);
        const int left = x + static_cast<int>(i) * (BitmapFont::kGlyphWidth + 1) * scale;
        for (int gy = 0; gy < BitmapFont::kGlyphHeight; ++gy)
            for (int gx = 0; gx < BitmapFont::kGlyphWidth; ++gx)
                if (rows[gy] & (0x10 >> gx))
                    for (int sy = 0; sy < scale; ++sy)
                        for (int sx = 0; sx < scale; ++sx) Blend(left + gx * scale + sx, y + gy * scale + sy, c);
    }
}

void Canvas::WritePng(const std::string& path) const {
    std::vector<uint8_t> bytes(mPixels.size() * 4);
    auto toByte = [](float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    for (size_t i = 0; i < mPixels.size(); ++i) {
        bytes[4 * i] = toByte(mPixels[i].r);
        bytes[4 * i + 1] = toByte(mPixels[i].g);
        bytes[4 * i + 2] = toByte(mPixels[i].b);
        bytes[4 * i + 3] = toByte(mPixels[i].a);
    }
    std::string error;
    if (!::WritePng(path, mWidth, mHeight, bytes.data(), error))
        throw std::runtime_error("cannot write " + path + ": " + error);
}
