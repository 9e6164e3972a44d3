#include "kestrel_linuxViewController.h"

#include <cstdio>

#include "DemoSys/demo.h"
#include "Linux/Source/DisplaySurface.h"

namespace {
// Frame-driver state: the demo is made and loaded inside the first refresh.
bool firstFrame = true;
demo* demon = nullptr;
int frames = 0;
}  // namespace

kestrel_linuxViewController::kestrel_linuxViewController() = default;

kestrel_linuxViewController::~kestrel_linuxViewController() {
    stopAnimation();
    if (mObserving) RunLoop::Main().RemoveObserver(this);
}

void kestrel_linuxViewController::viewDidLoad(DisplaySurface* newContext) {
    if (!context) {
        context = newContext;
        if (!context) {
            fprintf(stderr, "Failed to create ES context\n");
        } else if (!context->MakeCurrent()) {
            fprintf(stderr, "Failed to set ES context current\n");
        }
        animating = false;
        animationFrameInterval = 1;
        displayLink.reset();
        RunLoop::Main().AddObserver(this);
        mObserving = true;
    }
    mView.setContext(context);
    mView.setFramebuffer();
}

void kestrel_linuxViewController::startAnimation() {
    if (animating) return;
    displayLink = std::make_unique<DisplayLink>([this] { drawFrame(); });
    displayLink->setFrameInterval(animationFrameInterval);
    displayLink->addToRunLoop();
    animating = true;
}

void kestrel_linuxViewController::stopAnimation() {
    if (!animating) return;
    displayLink->invalidate();
    displayLink.reset();
    animating = false;
}

void kestrel_linuxViewController::setAnimationFrameInterval(int frameInterval) {
    if (frameInterval < 1) return;
    animationFrameInterval = frameInterval;
    if (animating) {
        stopAnimation();
        startAnimation();
    }
}

void kestrel_linuxViewController::applicationWillResignActive() {
    if (isViewVisible()) stopAnimation();
}

void kestrel_linuxViewController::applicationDidBecomeActive() {
    if (isViewVisible()) startAnimation();
}

void kestrel_linuxViewController::drawFrame() {
    if (firstFrame) {
        demon = new demo();
        demon->demoload(&mView);
        firstFrame = false;
    }
    mView.setFramebuffer();
    demon->demoplayback(frames);
    // A frame nobody looks at was played without drawing: nothing to show.
    if (demon->LastFrameDrawn()) mView.presentFramebuffer();
    ++frames;
}
