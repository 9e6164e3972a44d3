#include "CapturingSurface.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "LinuxApplicationMain.h"
#include "PngFile.h"

namespace {
// The one capturing surface, whose unwritten shots the process's end reports.
const CapturingSurface* gCapturing = nullptr;
}  // namespace

CapturingSurface::CapturingSurface(std::unique_ptr<DisplaySurface> inner, std::vector<double> times,
                                   std::string outDir, bool upright, std::function<double()> frameTime)
    : mInner(std::move(inner)),
      mTimes(std::move(times)),
      mOutDir(std::move(outDir)),
      mFrameTime(std::move(frameTime)),
      mPicture(upright) {
    // Times that share a picture name write that picture once, for the
    // first of them; a later one may fall on another frame, so that is said.
    std::vector<double> kept;
    for (double t : mTimes) {
        if (kept.empty() || ShotFileName(kept.back()) != ShotFileName(t)) {
            kept.push_back(t);
        } else if (t != kept.back()) {
            fprintf(stderr, "kestrel: --shot %.9g shares the picture name %s with %.9g, the one written\n", t,
                    ShotFileName(t).c_str(), kept.back());
        }
    }
    mTimes = std::move(kept);
    gCapturing = this;
    atexit(ReportMissedShots);
}

bool CapturingSurface::PrepareOutDir(const std::string& dir, std::string& error) {
    std::error_code code;
    if (!std::filesystem::create_directories(dir, code) && code) {
        error = code.message();
        return false;
    }
    if (!std::filesystem::is_directory(dir, code)) {
        error = "not a directory";
        return false;
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        error = strerror(errno);
        return false;
    }
    return true;
}

void CapturingSurface::ReportMissedShots() {
    if (!gCapturing || ShowCutShort()) return;
    const CapturingSurface& self = *gCapturing;
    for (size_t i = self.mNext; i < self.mTimes.size(); ++i) {
        fprintf(stderr, "kestrel: the show ended before the shot at %g s\n", self.mTimes[i]);
        NoteOutputFailure();
    }
}

std::string CapturingSurface::ShotFileName(double time) {
    char name[64];
    snprintf(name, sizeof name, "shot_%08.3f.png", time);
    return name;
}

bool CapturingSurface::Present(unsigned int colourTexture, int width, int height) {
    const double now = mFrameTime();
    if (mNext < mTimes.size() && now >= mTimes[mNext]) {
        mPicture.ReadBound(width, height);
        mPending = true;
        mPendingTime = now;
    }
    return mInner->Present(colourTexture, width, height);
}

void CapturingSurface::EndRefresh() {
    mInner->EndRefresh();
    if (!mPending) return;
    mPending = false;
    while (mNext < mTimes.size() && mPendingTime >= mTimes[mNext]) {
        const std::string path = mOutDir + "/" + ShotFileName(mTimes[mNext]);
        std::string error;
        if (WritePng(path, mPicture.Width(), mPicture.Height(), mPicture.Pixels(), error)) {
            fprintf(stderr, "kestrel: wrote %s (frame at %.3f s)\n", path.c_str(), mPendingTime);
        } else {
            fprintf(stderr, "kestrel: cannot write %s: %s\n", path.c_str(), error.c_str());
            NoteOutputFailure();
        }
        ++mNext;
    }
    if (mNext == mTimes.size()) exit(0);
}
