#include "RecordingSurface.h"

#include <GLES2/gl2.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// The stream still open when the process ends.
FILE* gOpenEncoder = nullptr;

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string RecordingSurface::EncoderCommand(const std::string& videoPath, const std::string& musicPath,
                                             double frameRate) {
    char rate[32];
    snprintf(rate, sizeof rate, "%g", frameRate);
    struct stat music {};
    const bool withMusic = stat(musicPath.c_str(), &music) == 0;
    std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgba -s " +
                          std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + " -r " + rate +
                          " -i -";
    if (withMusic) command += " -i " + Quoted(musicPath);
    // GL's rows run bottom-up.
    command += " -vf vflip -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p";
    if (withMusic) command += " -c:a aac -b:a 192k -shortest";
    return command + " " + Quoted(videoPath);
}

std::unique_ptr<RecordingSurface> RecordingSurface::Create(std::unique_ptr<DisplaySurface> inner,
                                                           const std::string& videoPath, const std::string& musicPath,
                                                           double frameRate, std::function<double()> frameTime) {
    const std::filesystem::path parent = std::filesystem::path(videoPath).parent_path();
    std::error_code error;
    if (!parent.empty()) std::filesystem::create_directories(parent, error);
    FILE* encoder = popen(EncoderCommand(videoPath, musicPath, frameRate).c_str(), "w");
    if (!encoder) {
        fprintf(stderr, "kestrel: cannot start ffmpeg to record %s\n", videoPath.c_str());
        return nullptr;
    }
    return std::unique_ptr<RecordingSurface>(new RecordingSurface(std::move(inner), encoder, std::move(frameTime)));
}

RecordingSurface::RecordingSurface(std::unique_ptr<DisplaySurface> inner, FILE* encoder,
                                   std::function<double()> frameTime)
    : mInner(std::move(inner)),
      mEncoder(encoder),
      mFrameTime(std::move(frameTime)),
      mPixels(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4) {
    gOpenEncoder = mEncoder;
    atexit(Finish);
}

RecordingSurface::~RecordingSurface() { Finish(); }

void RecordingSurface::Finish() {
    if (!gOpenEncoder) return;
    FILE* encoder = gOpenEncoder;
    gOpenEncoder = nullptr;
    const int status = pclose(encoder);
    if (status != 0) fprintf(stderr, "kestrel: ffmpeg failed (status %d); the video may be incomplete\n", status);
    else fprintf(stderr, "kestrel: recording finished\n");
}

bool RecordingSurface::Present(unsigned int colourTexture) {
    // The last present of a refresh is the frame the viewer sees.
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, mPixels.data());
    mPending = true;
    return mInner->Present(colourTexture);
}

void RecordingSurface::EndRefresh() {
    mInner->EndRefresh();
    if (!mPending || !gOpenEncoder) return;
    mPending = false;
    if (fwrite(mPixels.data(), 1, mPixels.size(), mEncoder) != mPixels.size()) {
        fprintf(stderr, "kestrel: ffmpeg stopped taking frames; ending the recording\n");
        Finish();
        return;
    }
    ++mFrames;
    const double now = mFrameTime();
    if (now >= mNextReport) {
        fprintf(stderr, "kestrel: recorded %.0f s of the show (%ld frames)\n", now, mFrames);
        mNextReport += 5.0;
    }
}
