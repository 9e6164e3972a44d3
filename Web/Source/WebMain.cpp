// The page's entry and frame driver. The first animation frame loads the
// show behind the loading picture; a click or key press starts the show's
// clock and the music on the same frame; at the show's end the frame loop
// stops and the page offers to play again. A hidden tab stops the frames as
// an inactive window does. On the page's clock the show keeps its own pace
// (DemoSys/FramePacing.h) and the render scale follows the machine's speed
// (DemoSys/AdaptiveScale.h); a fixed clock plays a frame on every animation
// frame at the scale the page's size asks for. The player's keys pause,
// resume and seek the show and move the viewer's offset as in the desktop
// window; on the page's clock the show follows the music as heard.
#include <GLES2/gl2.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "CanvasSurface.h"
#include "DemoSys/AdaptiveScale.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/FramePacing.h"
#include "DemoSys/GLView.h"
#include "DemoSys/RenderScale.h"
#include "DemoSys/Seeking.h"
#include "DemoSys/Timeline.h"
#include "DemoSys/ViewerOffset.h"
#include "DemoSys/demo.h"
#include "PageOptions.h"
#include "WebClock.h"
#include "WebMusic.h"

// The page object (kestrelPage, in the shell) shows the prompts and keeps
// what a test or a measurement reads back.
EM_JS(void, kestrel_show_start_prompt, (), { kestrelPage.showStartPrompt(); });
EM_JS(int, kestrel_reduced_motion, (), {
    return window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches ? 1 : 0;
});
EM_JS(void, kestrel_gentle_chosen, (int on, int byBrowser), { kestrelPage.noteGentle(on, byBrowser); });
EM_JS(void, kestrel_show_started, (), { kestrelPage.showStarted(); });
EM_JS(void, kestrel_show_ended, (), { kestrelPage.showEnded(); });
EM_JS(void, kestrel_frame_played, (double demoTime, int scene, double milliseconds, double scale),
      { kestrelPage.framePlayed(demoTime, scene, milliseconds, scale); });
EM_JS(void, kestrel_log, (int problem, const char* line), {
    if (problem) console.error(UTF8ToString(line));
    else console.log(UTF8ToString(line));
});
EM_JS(void, kestrel_shot_taken, (double time, const unsigned char* rgba, int width, int height),
      { kestrelPage.shotTaken(time, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height); });

namespace {

// The bundle's layout inside the page's preloaded file system.
constexpr char kProgramPath[] = "/kestrel.app/kestrel";
// On the page's clock one frame in this many is judged for the render scale.
constexpr int kJudgedEvery = 4;

enum class Stage { loading, waiting, playing, ended };

struct Page {
    Stage stage = Stage::loading;
    std::unique_ptr<CanvasSurface> surface;
    GLView view;
    demo show;
    PageOptions options;
    size_t nextShot = 0;
    std::vector<unsigned char> shotPixels;
    bool active = true;
    bool startRequested = false;
    bool promptShown = false;
    FramePacer pacer;
    AdaptiveScale adaptive;
    int played = 0;  // frames played on the page's clock
    bool starting = false;  // the first frame waits for the start time
    SurfaceEvents keys;  // the player's keys since the last animation frame
    Seeking::PlayerControls controls;
};

Page* gPage = nullptr;

EM_BOOL OnGesture() {
    if (gPage->stage != Stage::waiting || gPage->startRequested) return EM_FALSE;
    // Only inside the gesture's own handler may the page start sound.
    WebAudio::UnlockAudio();
    gPage->startRequested = true;
    return EM_TRUE;
}

// The player's keys while the show plays, as in the desktop window.
bool PlayerKey(const EmscriptenKeyboardEvent* event) {
    const std::string key = event->key;
    SurfaceEvents& keys = gPage->keys;
    if (key == "ArrowLeft") keys.seekBy -= Seeking::kPlayerStep;
    else if (key == "ArrowRight") keys.seekBy += Seeking::kPlayerStep;
    else if (key == " " && !event->repeat) keys.togglePause = !keys.togglePause;
    else if (key == "Home" && !event->repeat) keys.toStart = true, keys.seekBy = 0.0;
    else if (key == "-") --keys.offsetSteps;
    else if (key == "+" || key == "=") ++keys.offsetSteps;
    else if ((key == "g" || key == "G") && !event->repeat) keys.toggleGentle = !keys.toggleGentle;
    else return false;
    return true;
}

EM_BOOL OnKey(int, const EmscriptenKeyboardEvent* event, void*) {
    if (gPage->stage == Stage::playing && PlayerKey(event)) return EM_TRUE;
    if (event->repeat) return EM_FALSE;
    if (gPage->stage == Stage::playing && (event->key[0] == 'f' || event->key[0] == 'F') && event->key[1] == '\0') {
        // The page's stage holds the prompts as well as the canvas.
        emscripten_request_fullscreen("#stage", EM_TRUE);
        return EM_TRUE;
    }
    return OnGesture();
}

EM_BOOL OnClick(int, const EmscriptenMouseEvent*, void*) { return OnGesture(); }

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    gPage->surface->NoteVisibility(!event->hidden);
    return EM_FALSE;
}

// Shots are read from the canvas, as the viewer sees the frame, rows top first.
void TakeDueShots(double demoTime) {
    const std::vector<double>& times = gPage->options.shotTimes;
    if (gPage->nextShot >= times.size() || demoTime < times[gPage->nextShot]) return;
    const int width = gPage->surface->Width(), height = gPage->surface->Height();
    gPage->shotPixels.resize(static_cast<size_t>(width) * height * 4);
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, gPage->shotPixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    while (gPage->nextShot < times.size() && demoTime >= times[gPage->nextShot])
        kestrel_shot_taken(times[gPage->nextShot++], gPage->shotPixels.data(), width, height);
}

void PlayFrame() {
    const double started = emscripten_get_now();
    if (!WebClock::IsFixed()) WebAudio::FollowLatency();
    gPage->view.setFramebuffer();
    gPage->show.demoplayback(0);
    gPage->view.presentFramebuffer();
    const double demoTime = Host::ShowTime();
    const FrameScenes& scenes = gPage->show.LastScenes();
    const int scene = scenes.count > 0 ? static_cast<int>(scenes.calls[0].scene) : -1;
    kestrel_frame_played(demoTime, scene, emscripten_get_now() - started, DemoSys::RenderScale());
    TakeDueShots(demoTime);
    WebClock::AdvanceFrame();
}

// Judges the frame just played and limits the scale of the next ones. The
// browser draws apart from the page, and WebGL's finish does not wait for
// it; reading a pixel back does. That wait gives up the overlap of the
// browser's drawing with the page's next frame, so only some frames wait.
void AdaptScale(double started) {
    if (++gPage->played % kJudgedEvery != 0) return;
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    char line[128];
    if (!gPage->adaptive.Judge((emscripten_get_now() - started) / 1000.0, line, sizeof line)) return;
    // An ordinary line, for the console's log rather than its errors.
    char text[160];
    snprintf(text, sizeof text, "kestrel: %s", line);
    kestrel_log(0, text);
}

// Whether the animation frame at `time` (seconds) plays a frame of the show.
bool FrameDue(double time) {
    if (WebClock::IsFixed()) return true;
    if (!gPage->pacer.Due(time)) return false;
    WebClock::SetShowShift(gPage->pacer.FrameTime() - WebClock::Now());
    return true;
}

// The player's keys: answers whether a frame may play on this animation
// frame (not while paused, unless a seek moved the paused show).
bool FollowPlayer(double seconds) {
    const bool mayPlay = gPage->controls.Follow(gPage->keys, seconds);
    if (gPage->keys.toggleGentle) kestrel_log(0, Host::Gentle() ? "kestrel: the gentle mode on" : "kestrel: the gentle mode off");
    const double offset = ViewerOffset::Seconds();
    if (ViewerOffset::Follow(gPage->keys, seconds)) WebClock::ChangeShowDelay(ViewerOffset::Seconds() - offset);
    gPage->keys = SurfaceEvents();
    // Shots are taken from the canvas: a page that takes them shows no time line.
    const bool timeLine = gPage->controls.TimeLineShown(seconds) || ViewerOffset::LabelShown();
    gPage->surface->ShowTimeLine(timeLine && gPage->options.shotTimes.empty());
    if (!mayPlay) gPage->surface->PresentAgain();
    return mayPlay;
}

void Load() {
    gPage->view.setContext(gPage->surface.get());
    gPage->view.window = gPage->surface.get();
    gPage->view.setFramebuffer();
    gPage->show.demoload(&gPage->view);
    gPage->stage = Stage::waiting;
}

EM_BOOL OnAnimationFrame(double time, void*) {
    const SurfaceEvents events = gPage->surface->PollEvents();
    if (events.resignedActive) gPage->active = false;
    if (events.becameActive) gPage->active = true;
    switch (gPage->stage) {
        case Stage::loading:
            Load();
            return EM_TRUE;
        case Stage::waiting:
            // The loading picture stays, following the page's size.
            gPage->view.presentFramebuffer();
            if (!WebAudio::Settled()) return EM_TRUE;
            if (!gPage->promptShown) {
                kestrel_show_start_prompt();
                gPage->promptShown = true;
            }
            if (!gPage->startRequested) return EM_TRUE;
            kestrel_show_started();
            gPage->stage = Stage::playing;
            gPage->starting = gPage->options.startTime > 0.0;
            if (gPage->starting && !WebClock::IsFixed()) Host::SeekShow(gPage->options.startTime);
            break;
        case Stage::playing:
            break;
        case Stage::ended:
            return EM_FALSE;
    }
    if (!gPage->active) return EM_TRUE;
    if (!FollowPlayer(time / 1000.0)) return EM_TRUE;
    // The picture stays until the music's first sample is heard; the frames
    // then go on from that moment, their ticks laid anew.
    if (!gPage->controls.FrameOwed() && WebClock::ShowClockHeld()) {
        gPage->pacer = FramePacer();
        return EM_TRUE;
    }
    if (!gPage->controls.FrameOwed() && !FrameDue(time / 1000.0)) return EM_TRUE;
    gPage->controls.FramePlayed();
    if (gPage->starting && WebClock::IsFixed()) {
        // As in the program: a whole run's frames before the start pass unplayed.
        if (WebClock::ShowNow() < gPage->options.startTime) {
            WebClock::AdvanceFrame();
            return EM_TRUE;
        }
        Host::SeekShow(WebClock::ShowNow());
    }
    gPage->starting = false;
    // The show ends here rather than inside the frame: a page has no process to end.
    if (gPage->show.NextFrameTime() >= kShowEnd) {
        gPage->stage = Stage::ended;
        kestrel_show_ended();
        return EM_FALSE;
    }
    const double started = emscripten_get_now();
    PlayFrame();
    if (!WebClock::IsFixed() && gPage->options.shotTimes.empty()) AdaptScale(started);
    return EM_TRUE;
}

// Ordinary lines to the console's log, problems to its errors.
void LogToConsole(Host::LogLevel level, const char* line) { kestrel_log(level == Host::LogLevel::problem, line); }

bool Start(int argc, char** argv) {
    Host::SetLogSink(LogToConsole);
    std::string error;
    if (!ParsePageOptions(argc, argv, gPage->options, error)) {
        fprintf(stderr, "kestrel: %s; the page plays on the page's clock\n", error.c_str());
        gPage->options = PageOptions();
    }
    if (gPage->options.fixedFps > 0.0) WebClock::UseFixedRate(gPage->options.fixedFps);
    ViewerOffset::Set(gPage->options.avOffset);
    // A browser that asks for reduced motion gets the gentle mode unless the URL says otherwise.
    const bool byBrowser = gPage->options.gentle < 0 && kestrel_reduced_motion();
    Host::SetGentle(gPage->options.gentle == 1 || byBrowser);
    kestrel_gentle_chosen(Host::Gentle(), byBrowser);
    BS::gPosix_InitFile();
    char* programArguments[] = {const_cast<char*>(kProgramPath), nullptr};
    BS::gApplication = new BS::LinuxApplication(1, programArguments);
    Bundle::SetPath(BS::Application::GetApplication()->GetApplicationDirectory().GetPath());
    if (!Bundle::HasDataTree()) {
        fprintf(stderr, "kestrel: no data tree at %s\n", Bundle::DataTreePath().c_str());
        return false;
    }
    gPage->surface = CanvasSurface::Create();
    if (!gPage->surface) return false;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_click_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnClick);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility);
    emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    gArgC = argc;
    gArgV = argv;
    for (int i = 0; i < argc; ++i) gArguments.emplace_back(argv[i]);
    // Lives as long as the page; the frame loop refers to it.
    gPage = new Page();
    try {
        if (Start(argc, argv)) return 0;
    } catch (const BS::Error& e) {
        fprintf(stderr, "kestrel: %s\n", e.mMessage.c_str());
    } catch (const std::exception& e) {
        fprintf(stderr, "kestrel: %s\n", e.what());
    }
    return 1;
}
