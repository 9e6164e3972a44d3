// The page's URL parameters, five of the program's options (gentle=1 for
// --gentle, gentle=0 to leave it off whatever the browser asks): the page turns
// "?start=30&fixed-fps=60&shot=35,88&av=40" into "--start=30 --fixed-fps=60
// --shot=35,88 --av=40" (av is the program's --av-offset). The
// others mean nothing in a page, whose canvas sets the render scale and
// stands the picture upright.
#pragma once

#include <string>
#include <vector>

struct PageOptions {
    double fixedFps = 0.0;          // 0: the page's clock drives the show
    double startTime = 0.0;         // the show time the show begins at
    std::vector<double> shotTimes;  // ascending demo times to take from the canvas
    double avOffset = 0.0;          // seconds the picture comes later than the music as heard
    int gentle = -1;                // gentle=1 or 0; -1: as the browser's wish for reduced motion
};

// Answers false and fills error for an option the page does not take or a bad value.
bool ParsePageOptions(int argc, const char* const* argv, PageOptions& options, std::string& error);
