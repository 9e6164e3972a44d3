// The finished screen as a picture (rows top down), as the window shows it:
// the raw portrait screen, or turned upright by the quarter turn that puts
// the screen's right edge on top. Used by the recording and the shots.
#pragma once

#include <cstddef>
#include <vector>

class ScreenPicture {
public:
    explicit ScreenPicture(bool upright) : mUpright(upright) {}

    // Reads the bound framebuffer, screenWidth x screenHeight pixels, into the
    // picture; memory is only allocated when the size changes.
    void ReadBound(int screenWidth, int screenHeight);
    // The same from pixels already read: GL's rows, bottom up.
    void Turn(const unsigned char* glRows, int screenWidth, int screenHeight);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    const unsigned char* Pixels() const { return mPicture.data(); }
    size_t Bytes() const { return mPicture.size(); }

private:
    bool mUpright;
    int mWidth = 0;
    int mHeight = 0;
    std::vector<unsigned char> mRead;
    std::vector<unsigned char> mPicture;
};
