// Writes the presented screen as PNG at the first refresh at or after each
// requested demo time, then ends the process once the last one is written:
// the raw portrait screen at the render scale, or the picture turned upright.
// A picture that could not be written, or a shot the show ended before, makes
// the process end with status 1.
// A refresh may present more than once (the loading picture, then frame 0):
// the last present of the refresh is the one kept.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DisplaySurface.h"
#include "ScreenPicture.h"

class CapturingSurface : public DisplaySurface {
public:
    CapturingSurface(std::unique_ptr<DisplaySurface> inner, std::vector<double> times, std::string outDir,
                     bool upright, std::function<double()> frameTime);

    bool MakeCurrent() override { return mInner->MakeCurrent(); }
    // Reads the framebuffer bound at the call, which is the finished frame.
    bool Present(unsigned int colourTexture, int width, int height) override;
    SurfaceEvents PollEvents() override { return mInner->PollEvents(); }
    double RefreshPeriod() const override { return mInner->RefreshPeriod(); }
    void EndRefresh() override;
    bool ShowsEveryFrame() const override { return mInner->ShowsEveryFrame(); }
    // Over a headless context only the frames of the shots are drawn: the
    // rest are played without drawing, and the pictures are the same.
    bool WantsPicture(double t) const override {
        return mInner->ShowsEveryFrame() || (mNext < mTimes.size() && t >= mTimes[mNext]);
    }

    static std::string ShotFileName(double time);
    // Makes the folder when missing and checks that pictures can be written
    // into it; answers false with the reason.
    static bool PrepareOutDir(const std::string& dir, std::string& error);

private:
    static void ReportMissedShots();

    std::unique_ptr<DisplaySurface> mInner;
    std::vector<double> mTimes;
    size_t mNext = 0;
    bool mPending = false;  // mPicture holds a due frame not yet written
    double mPendingTime = 0.0;
    std::string mOutDir;
    std::function<double()> mFrameTime;
    ScreenPicture mPicture;
};
