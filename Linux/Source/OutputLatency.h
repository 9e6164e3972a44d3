// How long a sample handed to SDL's audio device takes to be heard: the
// device buffer SDL holds, plus what a sound server says of its own output
// where one is asked (PulseAudio, or PipeWire serving PulseAudio's clients).
#pragma once

#include <string>

struct OutputLatency {
    double seconds = 0.0;
    std::string source;  // in words, for the line at start
};

// For a device SDL opened with this many sample frames a buffer at this
// rate, through the audio driver SDL names.
OutputLatency MeasureOutputLatency(int bufferFrames, int rate, const char* driver);
