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
    // The viewer's controls: pause or resume, go to the start, then move
    // by this many seconds.
    bool togglePause = false;
    bool toStart = false;
    double seekBy = 0.0;
    // The viewer's offset of the picture moved by this many steps (ViewerOffset.h).
    int offsetSteps = 0;
    // The gentle mode turned on or off (Host::SetGentle).
    bool toggleGentle = false;
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
    // Whether every frame presented is seen (a window, a video), unlike a
    // headless context that only holds the picture.
    virtual bool ShowsEveryFrame() const { return true; }
    // Whether the frame at show time t is to be drawn: every one, unless a
    // surface takes pictures of some frames and shows none.
    virtual bool WantsPicture(double) const { return true; }
    // The viewer's time line over the picture (the show's time, a progress
    // bar), drawn by a surface a viewer watches, never into the frame.
    virtual void ShowTimeLine(bool) {}
    // Shows the frame presented last again, for a paused show.
    virtual void PresentAgain() {}
};

namespace Host {

// Seconds on the clock the timeline follows, so that a host can replace the
// wall clock by a fixed frame rate and make runs repeatable.
double Now();

// Whether anyone sees the frame at show time t (a window shows it, a shot
// or a video takes it): a frame nobody sees is played without drawing.
bool FrameWanted(double t);

// The C library's rand() sequence, kept and put back, so that a seek draws
// the numbers a whole run draws.
struct RandomState {
    unsigned char bytes[160];
};
void KeepRandom(RandomState& state);
void RestoreRandom(const RandomState& state);

// The soundtrack, decoded whole while loading so that starting on the first
// played frame is immediate.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    // Without an audio device the music stays silent; answers whether one opened.
    virtual bool prepareToPlay() = 0;
    // Plays on from where the music stands.
    virtual void play() = 0;
    // The viewer's controls: stops where it stands; moves to a time in seconds.
    virtual void pause() = 0;
    virtual void seek(double seconds) = 0;
    // Seconds into the music of what the audio device is given now.
    virtual double position() const = 0;
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
// along each logical pixel of its sizes (the screen, every render target),
// from 1 to kMaxRenderScale in steps of a quarter (kRenderScaleStep), so
// that a machine too slow for twice the pixels still gets more than once;
// others are clamped and taken to the nearest step. It takes effect when the
// next frame begins, which remakes the screen's framebuffer and every render
// target, sized to whole pixels.
inline constexpr int kMaxRenderScale = 8;
inline constexpr float kRenderScaleStep = 0.25f;
void SetRenderScale(float scale);
// Provided by the demo, for the host to call: the largest render scale the
// frames may be drawn at, whatever SetRenderScale asked for, so that a host
// can lower the scale while frames take too long (DemoSys/AdaptiveScale.h).
// kMaxRenderScale, the default, sets no limit; it takes effect as above.
void LimitRenderScale(float limit);

// Provided by the demo, for the host to call: the viewer's controls, which
// the show as made does not have (without them it plays from 0 to its end).
// The next frame played shows the show at t, within 0 and the end, and the
// music plays from t: the frames before t are played without drawing, on
// the show's 1/60 s ticks, so that every frame from t on is the frame a
// whole run shows there.
void SeekShow(double t);
// While paused the host plays no frame and the music stands; on resuming,
// the show goes on from the frame shown.
void PauseShow(bool paused);
bool ShowPaused();
// The show time of the frame played last; before the first, the time it will show.
double ShowTime();

// Provided by the demo, for the host to call: the gentle mode, for a viewer
// sensitive to flashing lights. The picture's light is held where it would
// turn bright and back more than three times a second (DemoSys/GentleLimiter.h);
// the show's time, cuts and beats are kept. Off by default: the show as made.
void SetGentle(bool on);
bool Gentle();

}  // namespace Host
