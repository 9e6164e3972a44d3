#include "demo.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Bundle.h"
#include "DemoLog.h"
#include "DemoSys.h"
#include "GentlePass.h"
#include "GLView.h"
#include "Host.h"
#include "Music.h"
#include "PostProcess.h"
#include "RenderBuffer.h"
#include "Seeking.h"
#include "ShowMemory.h"
#include "Riraru3Z/Shader.h"
#include "Riraru3Z/SimpleMaterial.h"
#include "Timeline.h"
#include "Effects/crystalGrowth.h"
#include "Effects/manetjakt.h"
#include "Effects/overlay.h"
#include "Effects/particleScene.h"
#include "Effects/robot.h"
#include "Effects/sawblade.h"
#include "Effects/tunnel.h"
#include "scene1.h"

Effect* effect1 = nullptr;
Effect* effect2 = nullptr;
Effect* effect3 = nullptr;
Effect* effect4 = nullptr;
Effect* effect5 = nullptr;
Effect* effect6 = nullptr;
Effect* effect8 = nullptr;
Effect* overlayFx = nullptr;

namespace {

constexpr float kMinStep = 0.016666668f;
constexpr float kHalfPi = 1.5707964f;

// Everything the frames share; made while loading, kept for the whole show.
RenderBuffer* gOffscreen = nullptr;
Shader* gPostNormal = nullptr;
Shader* gPostGryn = nullptr;
Shader* gPostSteady = nullptr;
PostProcessState gPost;
BeatTracker gBeats;
SectionCounters gSections;
FrameStatistics gStatistics;
float gPreviousTime = 0.0f;
GLuint gScreenTarget = 0;

// Where a seek goes and what it starts from: everything the frames change,
// kept once the show has loaded.
ShowMemory gMemory;
ShowMoment gStart;
double gPlayedLast = -1.0;  // show time of the frame played last
bool gSeekPending = false;
double gSeekTarget = 0.0;
bool gPaused = false;
// The viewer's choice of the gentle mode, which is no part of the show's state.
bool gGentle = false;

void ShowLoadingScreen(GLView* view) {
    DemoSys::Init(view);
    const GLuint picture = SimpleMaterial::LoadRectTextureFromFile(Bundle::Path() + "/FxData/loading.png");
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, picture);
    view->setFramebuffer();
    DemoSys::DrawRect(0.0f, 0.0f, 480.0f, 320.0f, kHalfPi, DemoSys::kWhite);
    view->presentFramebuffer();
}

Effect* Create(Effect* effect, GLView* view) {
    effect->initWithView(view);
    effect->load();
    return effect;
}

Effect* EffectFor(SceneId scene) {
    switch (scene) {
        case SceneId::scene1: return effect1;
        case SceneId::particleScene: return effect2;
        case SceneId::crystalGrowth: return effect3;
        case SceneId::manetjakt: return effect4;
        case SceneId::robot: return effect5;
        case SceneId::tunnel: return effect6;
        case SceneId::sawblade: return effect8;
        case SceneId::overlay: return overlayFx;
    }
    return nullptr;
}

// Sends the frame's scenes to the offscreen target, where the composite
// reads them; Back returns the screen's framebuffer as the default target.
class OffscreenFrame {
public:
    void Enter() {
        if (mEntered) return;
        mEntered = true;
        gScreenTarget = DemoSys::GetDefaultRenderTarget();
        DemoSys::SetDefaultRenderTarget(gOffscreen->GetFramebuffer());
        gOffscreen->BindAsRenderTarget();
    }
    void Back() {
        if (mEntered) DemoSys::SetDefaultRenderTarget(gScreenTarget);
    }

private:
    bool mEntered = false;
};

void DrawComposite(double t) {
    DemoSys::ResetRenderTarget();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    gOffscreen->BindAsTexture();

    // The shader sees the values of the previous frame; the frame's update prepares the next.
    Shader* post = gPostGryn;
    if (t >= kGrynEnd) {
        // Without a flash, the same picture from a cheaper shader.
        post = gPost.lPostFladder[0] > 0.0f ? gPostNormal : gPostSteady;
        post->BindShader();
        glUniform4fv(post->GetUniformMiscParam(0), 1, gPost.lPostFladder);
    } else {
        post->BindShader();
    }

    float fade[4];
    FadeColour(t, fade);
    DemoSys::DrawRectWithShader(post, 0.0f, 320.0f, 480.0f, -320.0f, 0.0f, fade);
    CheckGLError("AFTER RENDER");
}

// One frame of the show at t: every scene advances; it is drawn where it is
// wanted, and a scene whose pixels a later frame keeps draws in any case.
FrameScenes PlayFrame(double t, bool draw) {
    const float dt = static_cast<float>(t) - gPreviousTime;
    const float step = dt > kMinStep ? dt : kMinStep;
    const BeatEvents beats = gBeats.Advance(t);

    OffscreenFrame offscreen;
    if (draw) offscreen.Enter();
    if (t >= kShowEnd) exit(0);
    const FrameScenes scenes = ScheduleScenes(t, beats.bass, gSections);
    // A picture that a later call of the frame clears away is shaded for
    // nothing; such calls are left out when they carry nothing over.
    int hiddenBefore = 0;
    for (int i = scenes.count - 1; i > 0 && hiddenBefore == 0; --i)
        if (EffectFor(scenes.calls[i].scene)->CoversFrame()) hiddenBefore = i;
    for (int i = 0; i < scenes.count; ++i) {
        const SceneCall& call = scenes.calls[i];
        Effect* effect = EffectFor(call.scene);
        if (i < hiddenBefore && effect->Stateless()) continue;
        if (draw || effect->KeepsPixels(call.fxTime)) {
            offscreen.Enter();
            effect->renderForFxTime(call.fxTime, call.demoTime, call.fxProgress, 0.0f);
        } else {
            effect->advanceForFxTime(call.fxTime, call.demoTime, call.fxProgress, 0.0f);
        }
    }

    offscreen.Back();
    if (draw && gGentle) Gentle::BeginPicture();
    if (draw) DrawComposite(t);
    if (draw && gGentle) Gentle::FinishPicture();
    gPost.Update(step, beats, rand);
    gPreviousTime = static_cast<float>(t);
    gPlayedLast = t;
    return scenes;
}

void RegisterState() {
    for (Effect* effect : {effect1, effect2, effect3, effect4, effect5, effect6, effect8, overlayFx})
        effect->RegisterState(gMemory);
    gMemory.Add(gPost);
    gMemory.Add(gBeats);
    gMemory.Add(gSections);
    gMemory.Add(gPreviousTime);
}

// Brings the show to just before its frame at target: back to the start
// for a frame played already, then the ticks in between, undrawn.
void GoTo(double target) {
    if (target < gPlayedLast + Seeking::kSameMoment) {
        gStart.Restore(gMemory);
        gPlayedLast = gStart.playedLast;
    }
    const Seeking::Ticks ticks = Seeking::TicksBetween(gPlayedLast, target);
    // The gentle hold looks back over the frames before the target's: they are drawn.
    const long long drawnFrom = gGentle ? ticks.end - (Gentle::kMemory - 1) : ticks.end;
    for (long long tick = ticks.first; tick < ticks.end; ++tick) PlayFrame(Seeking::TickTime(tick), tick >= drawnFrom);
}

}  // namespace

void demo::demoload(GLView* view) {
    ShowLoadingScreen(view);

    effect1 = Create(new scene1(), view);
    effect2 = Create(new particleScene(), view);
    effect3 = Create(new crystalGrowth(), view);
    effect4 = Create(new manetjakt(), view);
    effect5 = Create(new robot(), view);
    effect6 = Create(new tunnel(), view);
    effect8 = Create(new sawblade(), view);
    overlayFx = Create(new overlay(), view);

    gOffscreen = new RenderBuffer(320, 480, true);
    Gentle::Load(gMemory);
    CheckGLError("RENDERBUFFER");
    gPostNormal = Shader::LoadShader(Bundle::Path() + Bundle::kPostProcessNormal);
    gPostGryn = Shader::LoadShader(Bundle::Path() + Bundle::kPostProcessGryn);
    gPostSteady = Shader::LoadShader(Bundle::Path() + "/FxData/Common/PostProcessSteady");
    // The cheaper shader only stands in for the normal one: without it, the
    // normal one composites every frame.
    if (gPostSteady->GetProgram() == 0) gPostSteady = gPostNormal;

    avAudioInit();
    RegisterState();
    gStart.Keep(gMemory, -1.0);
}

void demo::demoplayback(int) {
    double now = Host::Now();
    const bool first = mFirstFrame;
    if (mFirstFrame) {
        mBaseTime = now;
        mFirstFrame = false;
    }
    if (gSeekPending) {
        gSeekPending = false;
        GoTo(gSeekTarget);
        // The frames on the way took their time: the target's frame, and
        // the music with it, are now.
        now = Host::Now();
        mBaseTime = now - gSeekTarget;
        if (gAVPlayer) {
            gAVPlayer->seek(gSeekTarget);
            if (!first && !gPaused) gAVPlayer->play();
        }
        gStatistics.Restart(gSeekTarget);
    }
    if (first) avAudioPlay();
    const double t = now - mBaseTime;
    gStatistics.Frame(t, stdout);
    mDrawn = Host::FrameWanted(t);
    // The gentle hold needs the frames before a wanted one drawn too.
    const bool leadIn = gGentle && Host::FrameWanted(t + (Gentle::kMemory - 1) / Seeking::kTicksPerSecond);
    mLastScenes = PlayFrame(t, mDrawn || leadIn);
}

double demo::NextFrameTime() const {
    if (gSeekPending) return gSeekTarget;
    return mFirstFrame ? 0.0 : Host::Now() - mBaseTime;
}

void Host::SeekShow(double t) {
    gSeekTarget = std::clamp(t, 0.0, kShowEnd);
    gSeekPending = true;
}

void Host::PauseShow(bool paused) {
    if (paused == gPaused) return;
    gPaused = paused;
    if (paused) {
        if (gAVPlayer) gAVPlayer->pause();
        return;
    }
    // On from the frame shown, the music with it: the next frame follows it by a tick.
    if (gPlayedLast >= 0.0 && !gSeekPending) Host::SeekShow(gPlayedLast + 1.0 / Seeking::kTicksPerSecond);
}

bool Host::ShowPaused() { return gPaused; }

void Host::SetGentle(bool on) {
    if (gGentle && !on) Gentle::Forget();
    gGentle = on;
}

bool Host::Gentle() { return gGentle; }

double Host::ShowTime() {
    if (gSeekPending && gPlayedLast < 0.0) return gSeekTarget;
    return gPlayedLast < 0.0 ? 0.0 : gPlayedLast;
}
