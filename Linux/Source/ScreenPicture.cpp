#include "ScreenPicture.h"

#include <GLES2/gl2.h>

#include <cstdint>
#include <cstring>

void ScreenPicture::ReadBound(int screenWidth, int screenHeight) {
    mRead.resize(static_cast<size_t>(screenWidth) * static_cast<size_t>(screenHeight) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, screenWidth, screenHeight, GL_RGBA, GL_UNSIGNED_BYTE, mRead.data());
    Turn(mRead.data(), screenWidth, screenHeight);
}

void ScreenPicture::Turn(const unsigned char* glRows, int screenWidth, int screenHeight) {
    const size_t w = static_cast<size_t>(screenWidth), h = static_cast<size_t>(screenHeight);
    mPicture.resize(w * h * 4);
    if (!mUpright) {
        mWidth = screenWidth;
        mHeight = screenHeight;
        for (size_t y = 0; y < h; ++y) memcpy(&mPicture[(h - 1 - y) * w * 4], &glRows[y * w * 4], w * 4);
        return;
    }
    // Picture row r is screen column w-1-r; picture column c is screen row
    // c from the top, which is GL row h-1-c.
    mWidth = screenHeight;
    mHeight = screenWidth;
    const auto* source = reinterpret_cast<const uint32_t*>(glRows);
    for (size_t r = 0; r < w; ++r) {
        unsigned char* row = &mPicture[r * h * 4];
        const uint32_t* column = source + (w - 1 - r);
        for (size_t c = 0; c < h; ++c) memcpy(row + c * 4, column + (h - 1 - c) * w, 4);
    }
}
