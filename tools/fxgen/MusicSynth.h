// Synthesises the show's track: drums on the beat tables, bass, chords,
// hats, plucked arpeggios in the quiet parts, risers into the drum runs and a
// final fade.
#pragma once

#include <vector>

struct StereoTrack {
    int sampleRate = 44100;
    std::vector<float> left, right;
};

StereoTrack SynthesiseTrack();
