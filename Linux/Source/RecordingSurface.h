// Sends every shown frame to an ffmpeg process, which encodes it as H.264
// with the show's music into a video file: the upright picture, or the raw
// portrait screen, at the render scale. The video is written beside its
// final name and takes that name only when ffmpeg finished it: the process's
// end (the timeline's exit at 185 s, the last shot, or a stop signal) closes
// the stream and waits for ffmpeg.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DisplaySurface.h"
#include "ScreenPicture.h"

class RecordingSurface : public DisplaySurface {
public:
    static constexpr const char* kContainerNames = ".mp4, .mkv or .mov";

    // What every frame of the video is; the render scale stays the same for
    // the whole recording.
    struct Frame {
        bool upright = true;
        float renderScale = 1.0f;
        int Width() const;
        int Height() const;
    };

    // Null, after "kestrel: cannot record to FILE: reason", when the video
    // cannot be started; everything that can be checked is checked here,
    // before the show loads. Takes the inner surface only when it answers a
    // recording: a refused one leaves the caller's surface, and its GL
    // driver, as they were until the process ends.
    static std::unique_ptr<RecordingSurface> Create(std::unique_ptr<DisplaySurface>& inner, const std::string& videoPath,
                                                    const std::string& musicPath, double frameRate, double startTime,
                                                    Frame frame, std::function<double()> frameTime);
    ~RecordingSurface() override;

    bool MakeCurrent() override { return mInner->MakeCurrent(); }
    bool Present(unsigned int colourTexture, int width, int height) override;
    SurfaceEvents PollEvents() override { return mInner->PollEvents(); }
    double RefreshPeriod() const override { return 0.0; }
    void EndRefresh() override;

    // ffmpeg's name for the container of a video file name's extension; null
    // for a name without one of the supported extensions.
    static const char* ContainerFor(const std::string& videoPath);
    // ffmpeg's arguments for a raw RGBA stream of pictures (rows top down) of
    // the frame's size on its input; every file name is passed as a "file:"
    // URL, so none is read as an option. The music is taken from musicStart
    // seconds in, where the video's show begins.
    static std::vector<std::string> EncoderArguments(const std::string& outputPath, const char* container,
                                                     const std::string& musicPath, double frameRate, Frame frame,
                                                     double musicStart = 0.0);
    // Writes every byte to the encoder's socket, going on where a signal
    // (the viewer's Ctrl-C, which ends the recording at the next refresh)
    // interrupted the write; false when the encoder is gone.
    static bool SendAll(int socket, const unsigned char* data, size_t size);
    // The progress line (without its end): how much of the show is recorded,
    // and an estimate of the time left from the pace so far, for a video
    // whose show begins at startSeconds.
    static void FormatProgress(char* line, size_t size, double showSeconds, long frames, double elapsedSeconds,
                               double startSeconds = 0.0);
    // From a signal handler, before the first frame: ends the encoder and
    // removes its unfinished file, so that no empty video is left behind.
    static void AbandonFromSignal();

private:
    RecordingSurface(std::unique_ptr<DisplaySurface> inner, Frame frame, double startTime,
                     std::function<double()> frameTime);
    // Closes the stream and waits for ffmpeg; keep names the video by its
    // final name when ffmpeg succeeded. Answers success.
    static bool Finish(bool keep);
    static void FinishAtExit();

    std::unique_ptr<DisplaySurface> mInner;
    std::function<double()> mFrameTime;
    ScreenPicture mPicture;
    bool mPending = false;
    double mStartTime;
    double mNextReport;
    double mStarted;  // monotonic seconds
};
