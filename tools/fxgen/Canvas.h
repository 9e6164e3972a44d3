// An RGBA picture to draw generated textures on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Colour {
    float r, g, b, a;
};

Colour Mix(const Colour& a, const Colour& b, float t);

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    void Set(int x, int y, const Colour& c);
    Colour Get(int x, int y) const;
    // Alpha-blends c over the pixel.
    void Blend(int x, int y, const Colour& c);
    void VerticalGradient(const Colour& top, const Colour& bottom);
    // Every pixel from a function of its centre in [0, 1) x [0, 1), v down.
    void Fill(const std::function<Colour(float u, float v)>& shade);
    // Text in the bitmap font, each font pixel drawn as scale x scale.
    void Text(int x, int y, const std::string& text, int scale, const Colour& c);
    static int TextWidth(const std::string& text, int scale);

    // Throws std::runtime_error when the file cannot be written.
    void WritePng(const std::string& path) const;

private:
    int mWidth;
    int mHeight;
    std::vector<Colour> mPixels;
};
