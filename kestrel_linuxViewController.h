// The view controller: owns the GL view and the display link that runs the
// frame driver on every refresh; stops while the application is inactive.
#pragma once

#include <memory>

#include "DemoSys/GLView.h"
#include "Linux/Source/RunLoop.h"

class DisplaySurface;
class demo;

class kestrel_linuxViewController : public ActiveStateObserver {
public:
    kestrel_linuxViewController();
    ~kestrel_linuxViewController() override;
    kestrel_linuxViewController(const kestrel_linuxViewController&) = delete;
    kestrel_linuxViewController& operator=(const kestrel_linuxViewController&) = delete;

    GLView* view() { return &mView; }
    void viewDidLoad(DisplaySurface* context);
    void viewWillAppear() { startAnimation(); }
    void viewWillDisappear() { stopAnimation(); }
    void startAnimation();
    void stopAnimation();
    void setAnimationFrameInterval(int frameInterval);
    void applicationWillResignActive() override;
    void applicationDidBecomeActive() override;
    void drawFrame();

    bool isAnimating() const { return animating; }
    int getAnimationFrameInterval() const { return animationFrameInterval; }

private:
    bool isViewVisible() const { return mView.window != nullptr; }

    GLView mView;
    DisplaySurface* context = nullptr;
    std::unique_ptr<DisplayLink> displayLink;
    int animationFrameInterval = 1;
    bool animating = false;
    bool mObserving = false;
};
