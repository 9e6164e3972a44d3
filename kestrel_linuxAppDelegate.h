// Builds the view controller on the screen once the host has started.
#pragma once

#include <memory>

#include "Linux/Source/LinuxApplicationMain.h"
#include "kestrel_linuxViewController.h"

class kestrel_linuxAppDelegate : public ApplicationDelegate {
public:
    void didFinishLaunching(DisplaySurface& screen) override;

    DisplaySurface* window = nullptr;
    std::unique_ptr<kestrel_linuxViewController> viewController;
};
