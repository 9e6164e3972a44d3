#include <cstdio>
#include <vector>

#include "DemoSys/DemoLog.h"
#include "DemoSys/GLTexture.h"
#include "DemoSys/Host.h"
#include "SimpleMaterial.h"

std::map<std::string, GLuint>* SimpleMaterial::mTextureNames = nullptr;
std::map<std::string, BS::Vector2>* SimpleMaterial::mTextureSizes = nullptr;

namespace {

// 8-bit RGBA, colour premultiplied by alpha, top row first; 0 x 0 when the
// file cannot be decoded.
Host::Picture DecodePicture(const std::string& path) {
    Host::Picture image;
    std::string error;
    if (!Host::DecodePicture(path, image, error)) {
        DemoLog("texture %s: %s", path.c_str(), error.c_str());
        return Host::Picture();
    }
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        const unsigned a = image.rgba[i + 3];
        for (size_t c = 0; c < 3; ++c) image.rgba[i + c] = static_cast<uint8_t>((image.rgba[i + c] * a + 127) / 255);
    }
    return image;
}

bool CachedTexture(const std::string& path, GLuint& name) {
    if (!SimpleMaterial::mTextureNames) {
        SimpleMaterial::mTextureNames = new std::map<std::string, GLuint>();
        SimpleMaterial::mTextureSizes = new std::map<std::string, BS::Vector2>();
    }
    const auto hit = SimpleMaterial::mTextureNames->find(path);
    if (hit == SimpleMaterial::mTextureNames->end()) return false;
    name = hit->second;
    return true;
}

GLuint UploadTexture(const std::string& path, const Host::Picture& image, GLint minFilter, GLint magFilter) {
    glActiveTexture(GL_TEXTURE0);
    const GLuint name = NewClampedTexture(minFilter, magFilter);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.empty() ? nullptr : image.rgba.data());
    (*SimpleMaterial::mTextureNames)[path] = name;
    (*SimpleMaterial::mTextureSizes)[path] =
        BS::Vector2(static_cast<float>(image.width), static_cast<float>(image.height));
    return name;
}

}  // namespace

GLuint SimpleMaterial::LoadTextureFromFile(const std::string& path) {
    GLuint name = 0;
    if (CachedTexture(path, name)) return name;
    const Host::Picture image = DecodePicture(path);
    name = UploadTexture(path, image, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    // An empty picture has no mipmap chain to build.
    if (image.width > 0 && image.height > 0) glGenerateMipmap(GL_TEXTURE_2D);

    mPixelWidth = image.width;
    mPixelHeight = image.height;
    mPixels.reset(new float[image.rgba.size()]);
    for (size_t i = 0; i < image.rgba.size(); ++i) mPixels[i] = image.rgba[i] * 0.003921569f;
    return name;
}

GLuint SimpleMaterial::LoadRectTextureFromFile(const std::string& path) {
    GLuint name = 0;
    if (CachedTexture(path, name)) return name;
    return UploadTexture(path, DecodePicture(path), GL_NEAREST, GL_NEAREST);
}

void SimpleMaterial::GetPixel(float u, float v, float out[4]) const {
    if (!HasTexture()) {
        out[0] = out[1] = out[2] = out[3] = 0.0f;
        return;
    }
    auto index = [](float f, int size) {
        if (!(f > 0.0f)) return 0;  // also NaN
        if (f >= 1.0f) return size - 1;
        const int i = static_cast<int>(f * static_cast<float>(size));
        return i >= size ? size - 1 : i;
    };
    const float* p = &mPixels[(static_cast<size_t>(index(v, mPixelHeight)) * mPixelWidth + index(u, mPixelWidth)) * 4];
    for (int c = 0; c < 4; ++c) out[c] = p[c];
}

void SimpleMaterial::DebugTextures() {
    if (!mTextureSizes) return;
    for (const auto& [path, size] : *mTextureSizes)
        printf(" > %s [ %3d x %3d ]\n", path.c_str(), static_cast<int>(size.x), static_cast<int>(size.y));
}
