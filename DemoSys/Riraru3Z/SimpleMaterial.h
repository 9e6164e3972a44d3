// A material's texture: PNG pictures loaded once per path through a
// process-wide cache. Mipmapped textures keep a premultiplied float copy of
// their pixels for sampling on the CPU; rect textures (full-screen pictures)
// are nearest-filtered and keep none.
#pragma once

#include <GLES2/gl2.h>

#include <map>
#include <memory>
#include <string>

#include "BS/Export/BS_Math.h"

class SimpleMaterial {
public:
    // Texture unit 0 gets the material's texture.
    void BindMaterial() const {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, mTexture);
    }

    GLuint LoadTextureFromFile(const std::string& path);
    void LoadTexture(const std::string& path) { mTexture = LoadTextureFromFile(path); }
    // Leaves the material as it is; the caller keeps the name.
    static GLuint LoadRectTextureFromFile(const std::string& path);

    // True when the material holds a CPU copy of its pixels.
    bool HasTexture() const { return mPixels != nullptr && mPixelWidth > 0 && mPixelHeight > 0; }
    // The pixel at row v * height, column u * width; u and v are clamped into
    // the picture, and a material without pixels answers zeros.
    void GetPixel(float u, float v, float out[4]) const;
    // One line per cached texture, in path order.
    static void DebugTextures();

    std::string mName;
    GLuint mTexture = static_cast<GLuint>(-1);  // -1: none
    int mPixelWidth = 0;
    int mPixelHeight = 0;
    std::unique_ptr<float[]> mPixels;

    static std::map<std::string, GLuint>* mTextureNames;
    static std::map<std::string, BS::Vector2>* mTextureSizes;
};
