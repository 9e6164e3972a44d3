#include "MusicScore.h"

#include <cmath>

#include "DemoSys/Beats.h"

namespace MusicScore {

namespace {

struct Run {
    int first, last;  // snare indices
};
const Run kRuns[4] = {{0, 31}, {32, 63}, {64, 95}, {96, 127}};

// Evenly spaced points strictly between a and b, close to the nominal half bar.
void Fill(std::vector<double>& grid, double a, double b) {
    const int steps = std::max(1, static_cast<int>(std::lround((b - a) / kNominalHalfBar)));
    for (int k = 1; k < steps; ++k) grid.push_back(a + (b - a) * k / steps);
}

}  // namespace

std::vector<double> HalfBarGrid() {
    std::vector<double> grid;
    const double first = snare[0];
    const int before = static_cast<int>(std::ceil(first / kNominalHalfBar));
    for (int k = before; k > 0; --k) grid.push_back(first - k * kNominalHalfBar);
    for (int r = 0; r < 4; ++r) {
        if (r > 0) Fill(grid, snare[kRuns[r - 1].last], snare[kRuns[r].first]);
        for (int i = kRuns[r].first; i <= kRuns[r].last; ++i) grid.push_back(snare[i]);
    }
    for (double t = snare[kSnareCount - 1] + kNominalHalfBar; grid.back() <= kLength; t += kNominalHalfBar)
        grid.push_back(t);
    return grid;
}

double Subdivision(const std::vector<double>& grid, size_t i, int k, int n) {
    const double a = grid[i], b = i + 1 < grid.size() ? grid[i + 1] : grid[i] + kNominalHalfBar;
    return a + (b - a) * k / n;
}

bool InDrumRun(double t) {
    for (const Run& r : kRuns)
        if (t >= snare[r.first] - 0.8 && t <= snare[r.last] + 0.8) return true;
    return false;
}

void Chord(int bar, double tones[3], double& bass) {
    // A minor: Am F C G, voiced around middle C.
    static const double kChords[4][3] = {
        {220.00, 261.63, 329.63}, {174.61, 220.00, 261.63}, {261.63, 329.63, 392.00}, {196.00, 246.94, 293.66}};
    static const double kBass[4] = {55.00, 43.65, 65.41, 49.00};
    const int c = ((bar % 4) + 4) % 4;
    for (int i = 0; i < 3; ++i) tones[i] = kChords[c][i];
    bass = kBass[c];
}

}  // namespace MusicScore
