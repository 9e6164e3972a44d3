// Command-line options of the Linux host.
#pragma once

#include <string>
#include <vector>

struct HostOptions {
    bool headless = false;
    double fixedFps = 0.0;        // 0: the wall clock drives the show
    double refreshRate = 0.0;     // a display of this many refreshes a second on the fixed clock; 0: none
    double startTime = 0.0;       // the show time the show begins at
    std::vector<double> shotTimes;  // ascending demo times to capture
    std::string outDir;
    std::string recordPath;  // a video of the show, headless at 60 frames per second
    bool portrait = false;      // the raw portrait screen in the window and the video
    bool fullscreen = false;
    float renderScale = 0.0f;   // 0: a window's follows its size, otherwise 1
    bool uprightShots = false;  // shots turned as the window shows them
    double avOffset = 0.0;      // seconds the picture comes later than the music as heard
    bool gentle = false;        // the gentle mode: at most three flashes a second
    bool help = false;
};

// Answers false and fills error for an unknown option or a bad value. Every
// option taking a value accepts "--name value" and "--name=value"; --help
// (or -h) anywhere wins over everything else.
bool ParseHostOptions(int argc, const char* const* argv, HostOptions& options, std::string& error);

const char* HostUsage();
