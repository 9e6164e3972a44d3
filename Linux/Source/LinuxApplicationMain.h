// The Linux host's application loop: picks the screen, drives display links
// on every refresh and forwards active-state changes. Never returns.
#pragma once

#include "DisplaySurface.h"

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void didFinishLaunching(DisplaySurface& screen) = 0;
};

int LinuxApplicationMain(int argc, char** argv, ApplicationDelegate& delegate);
