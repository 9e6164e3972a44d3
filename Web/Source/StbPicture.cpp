#include "StbPicture.h"

#include <cstdio>
#include <memory>
#include <vector>

// Only the PNG reader is built; file access stays ours so that a missing
// file reads as it does natively.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace {

// The Linux host refuses larger pictures before reserving their memory.
constexpr int kLargestSide = 16384;

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file) return false;
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    return !ferror(file.get());
}

}  // namespace

bool DecodePictureWithStb(const std::string& path, Host::Picture& picture, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) {
        error = "cannot open " + path;
        return false;
    }
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels)) {
        error = stbi_failure_reason();
        return false;
    }
    if (width > kLargestSide || height > kLargestSide) {
        error = "picture too large";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (!pixels) {
        error = stbi_failure_reason();
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}
