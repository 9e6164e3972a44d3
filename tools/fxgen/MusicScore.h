// The musical grid of the track: half-bar points that follow the snare table
// where there are drums and a steady tempo elsewhere, with the harmony on it.
#pragma once

#include <cstddef>
#include <vector>

namespace MusicScore {

constexpr double kLength = 185.0;
constexpr double kNominalHalfBar = 0.706;

// Ascending half-bar times from at or before 0 to past kLength; every snare
// time of the beat table is one of them.
std::vector<double> HalfBarGrid();

// Time of subdivision k of n of the half-bar starting at grid[i].
double Subdivision(const std::vector<double>& grid, size_t i, int k, int n);

// True inside the four drum runs.
bool InDrumRun(double t);

// Frequencies in Hz of the chord of bar `bar` (root first) and its bass note.
void Chord(int bar, double tones[3], double& bass);

}  // namespace MusicScore
