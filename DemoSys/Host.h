// What the show needs from the machine it runs on. A host (the Linux program,
// a browser page) implements these and drives the show from its own loop;
// nothing below the host reaches past this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SurfaceEvents {
    bool quit = false;          // window closed or Escape pressed
    bool resignedActive = false;
    bool becameActive = false;
};

// The screen the show draws on, so that it can make its context current and
// hand over each finished frame: the 320 x 480 portrait screen, drawn at the
// render scale. The demo renders into its own framebuffer object, still bound
// when a frame is presented; a surface only shows that framebuffer's texture.
class DisplaySurface {
public:
    static constexpr int kScreenWidth = 320;
    static constexpr int kScreenHeight = 480;

    virtual ~DisplaySurface() = default;
    virtual bool MakeCurrent() = 0;
    // Shows the colour texture of the finished frame, width x height pixels;
    // answers success.
    virtual bool Present(unsigned int colourTexture, int width, int height) = 0;
    virtual SurfaceEvents PollEvents() = 0;
    // Seconds between the display's refreshes when each present waits for
    // the next one; 0 when presents do not wait or the period is unknown, and
    // the host spaces the frames itself.
    virtual double RefreshPeriod() const = 0;
    // Seconds the last present spent waiting for the display's refresh: time
    // the frame did not cost.
    virtual double PresentWait() const { return 0.0; }
    // Called after each refresh; what was presented last is what the viewer sees.
    virtual void EndRefresh() {}
};

namespace Host {

// Seconds on the clock the timeline follows, so that a host can replace the
// wall clock by a fixed frame rate and make runs repeatable.
double Now();

// The soundtrack, decoded whole while loading so that starting on the first
// played frame is immediate.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    // Without an audio device the music stays silent; answers whether one opened.
    virtual bool prepareToPlay() = 0;
    virtual void play() = 0;
};
// Null when the file is missing or broken; the host says why.
std::unique_ptr<MusicPlayer> OpenMusic(const std::string& path);

// Textures come as compressed pictures; the show uploads 8-bit RGBA rows,
// top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};
bool DecodePicture(const std::string& path, Picture& picture, std::string& error);

// GL ES extension entry points (vertex array objects), which the GLES
// library does not export; null when the driver has none of that name.
void* GLProcAddress(const char* name);

// Provided by the demo, for the host to call: where diagnostic lines go (one
// line at a time, without its end), so that a host without a terminal can
// send them elsewhere, ordinary progress apart from problems. Null, the
// default, writes them all to standard error.
enum class LogLevel { note, problem };
using LogSink = void (*)(LogLevel level, const char* line);
void SetLogSink(LogSink sink);

// Provided by the demo, for the host to call: how many pixels the show draws
// for each pixel of its logical sizes (the screen, every render target), 1 to
// kMaxRenderScale; others are clamped. It takes effect when the next frame
// begins, which remakes the screen's framebuffer and every render target.
inline constexpr int kMaxRenderScale = 8;
void SetRenderScale(int scale);
// Provided by the demo, for the host to call: the largest render scale the
// frames may be drawn at, whatever SetRenderScale asked for, so that a host
// can lower the scale while frames take too long (DemoSys/AdaptiveScale.h).
// kMaxRenderScale, the default, sets no limit; it takes effect as above.
void LimitRenderScale(int limit);

}  // namespace Host
