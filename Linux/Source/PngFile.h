// PNG files of 8-bit RGBA pixels, rows top to bottom.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba, std::string& error);

struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Any PNG colour type is expanded to 8-bit RGBA.
bool ReadPng(const std::string& path, PngImage& image, std::string& error);
