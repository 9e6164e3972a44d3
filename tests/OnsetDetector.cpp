#include "OnsetDetector.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kHopSeconds = 0.001;
constexpr double kWindowSeconds = 0.004;
// The recent past compared with: longer than the lowest bass note's period, so its own swing is never a hit.
constexpr int kPastHops = 25;
constexpr double kJumpRatio = 2.5;  // +4 dB
constexpr double kMinGapSeconds = 0.005;
}  // namespace

std::vector<double> DetectOnsets(const std::vector<int16_t>& stereo, int sampleRate, double lowPassHz) {
    const size_t frames = stereo.size() / 2;
    std::vector<double> mono(frames);
    // A one-pole low-pass isolates the kick from a snare struck just before it.
    const double a = lowPassHz > 0.0 ? 1.0 - std::exp(-2.0 * M_PI * lowPassHz / sampleRate) : 1.0;
    double y = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        y += a * ((stereo[2 * i] + stereo[2 * i + 1]) * (0.5 / 32768.0) - y);
        mono[i] = y;
    }
    const size_t hop = static_cast<size_t>(kHopSeconds * sampleRate);
    const size_t window = static_cast<size_t>(kWindowSeconds * sampleRate);
    std::vector<double> energy;
    for (size_t start = 0; start + window <= frames; start += hop) {
        double e = 0.0;
        for (size_t i = start; i < start + window; ++i) e += mono[i] * mono[i];
        energy.push_back(e / static_cast<double>(window));
    }
    const double floor = 1e-5;  // about -50 dB: silence has no onsets
    std::vector<double> onsets;
    const size_t windowHops = window / hop;
    for (size_t j = kPastHops + 1; j < energy.size(); ++j) {
        double past = 0.0;
        // Only windows that end before this one starts.
        for (size_t k = j - kPastHops; k + windowHops < j; ++k) past = std::max(past, energy[k]);
        const bool jump = energy[j] > floor && energy[j] > kJumpRatio * (past + floor * 0.1);
        const double t = static_cast<double>(j * hop) / sampleRate;
        if (jump && (onsets.empty() || t - onsets.back() > kMinGapSeconds)) onsets.push_back(t);
    }
    return onsets;
}

double NearestOnsetDistance(const std::vector<double>& onsets, double t) {
    const auto it = std::lower_bound(onsets.begin(), onsets.end(), t);
    double best = 1e9;
    if (it != onsets.end()) best = *it - t;
    if (it != onsets.begin()) best = std::min(best, t - *(it - 1));
    return best;
}
