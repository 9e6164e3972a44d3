// Finds the starts of percussive hits in decoded audio: where the short-time energy jumps well above the last few ms.
#pragma once

#include <cstdint>
#include <vector>

// Onset times in seconds, ascending, from interleaved 16-bit stereo; a cutoff above zero hears only what lies below.
std::vector<double> DetectOnsets(const std::vector<int16_t>& stereo, int sampleRate, double lowPassHz = 0.0);

// Distance in seconds from t to the nearest onset (onsets ascending, not empty).
double NearestOnsetDistance(const std::vector<double>& onsets, double t);
