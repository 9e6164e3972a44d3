// The Linux host's application loop: picks the screen, drives display links
// on every refresh and forwards active-state changes. Never returns: the show
// ends the process, and so do SIGINT and SIGTERM, with status 130 and 143,
// after the frame that was playing, or at once while the show loads.
#pragma once

#include <string>

#include "DisplaySurface.h"
#include "HostOptions.h"

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void didFinishLaunching(DisplaySurface& screen) = 0;
};

// The options of the command line; a usage error ends the process with
// status 2, --help with status 0 after the text.
HostOptions ReadHostOptions(int argc, char** argv);

// The running program's own file, every symbolic link resolved; argv0 when
// the system cannot tell.
std::string RunningProgramPath(const char* argv0);

// bundlePath is the directory that holds the music and the data tree.
int LinuxApplicationMain(const HostOptions& options, const std::string& bundlePath, ApplicationDelegate& delegate);

// A picture or video that could not be written: however the process ends
// from now on, it ends with status 1.
void NoteOutputFailure();
// True once SIGINT or SIGTERM asked the show to stop, or an output failed:
// shots the show then never reached were not missed by the show.
bool ShowCutShort();
