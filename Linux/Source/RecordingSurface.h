// Sends every shown frame to the ffmpeg command, which encodes it as H.264
// with the show's music into a video file. The process's end (the timeline's
// exit at 185 s, or the last shot) closes the stream and waits for ffmpeg.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DisplaySurface.h"

class RecordingSurface : public DisplaySurface {
public:
    // Null, with a message, when ffmpeg cannot be started.
    static std::unique_ptr<RecordingSurface> Create(std::unique_ptr<DisplaySurface> inner, const std::string& videoPath,
                                                    const std::string& musicPath, double frameRate,
                                                    std::function<double()> frameTime);
    ~RecordingSurface() override;

    bool MakeCurrent() override { return mInner->MakeCurrent(); }
    bool Present(unsigned int colourTexture) override;
    SurfaceEvents PollEvents() override { return mInner->PollEvents(); }
    bool PacedByDisplay() const override { return false; }
    void EndRefresh() override;

    // The ffmpeg command line for a raw RGBA stream of the screen on its input.
    static std::string EncoderCommand(const std::string& videoPath, const std::string& musicPath, double frameRate);

private:
    RecordingSurface(std::unique_ptr<DisplaySurface> inner, FILE* encoder, std::function<double()> frameTime);
    static void Finish();

    std::unique_ptr<DisplaySurface> mInner;
    FILE* mEncoder;
    std::function<double()> mFrameTime;
    std::vector<unsigned char> mPixels;
    bool mPending = false;
    long mFrames = 0;
    double mNextReport = 5.0;
};
