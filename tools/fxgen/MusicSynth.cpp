#include "MusicSynth.h"

#include <algorithm>
#include <cmath>

#include "DemoSys/Beats.h"
#include "MusicScore.h"
#include "Random.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

class Mixer {
public:
    explicit Mixer(StereoTrack& track) : mTrack(track) {}

    int Rate() const { return mTrack.sampleRate; }
    size_t Length() const { return mTrack.left.size(); }
    long Index(double t) const { return static_cast<long>(std::lround(t * Rate())); }
    // Adds a mono sample at index i, panned from -1 (left) to 1 (right).
    void Add(long i, float v, float pan = 0.0f) {
        if (i < 0 || static_cast<size_t>(i) >= Length()) return;
        mTrack.left[static_cast<size_t>(i)] += v * (1.0f - pan) * 0.5f * 1.4142f;
        mTrack.right[static_cast<size_t>(i)] += v * (1.0f + pan) * 0.5f * 1.4142f;
    }

private:
    StereoTrack& mTrack;
};

// A pitch-swept sine with a short click: a sharp, low kick.
void Kick(Mixer& m, double t0) {
    const long start = m.Index(t0);
    const int n = static_cast<int>(0.35 * m.Rate());
    double phase = 0.0;
    Random noise(static_cast<uint32_t>(start) * 2654435761u);
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        phase += kTwoPi * (48.0 + 120.0 * std::exp(-t / 0.03)) / m.Rate();
        const float body = static_cast<float>(std::sin(phase) * std::exp(-t / 0.06));
        const float click = t < 0.003 ? noise.Signed() * static_cast<float>(1.0 - t / 0.003) * 0.5f : 0.0f;
        m.Add(start + k, 0.95f * body + click);
    }
}

// A noise burst over a short tone.
void Snare(Mixer& m, double t0) {
    const long start = m.Index(t0);
    const int n = static_cast<int>(0.25 * m.Rate());
    Random noise(static_cast<uint32_t>(start) * 40503u + 7u);
    float low = 0.0f, previous = 0.0f;
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        const float white = noise.Signed();
        low += 0.35f * (white - low);  // tame the hiss
        const float band = low - previous * 0.6f;
        previous = low;
        const float tone = static_cast<float>(std::sin(kTwoPi * 185.0 * t) * std::exp(-t / 0.035));
        const float crack = white * static_cast<float>(std::exp(-t / 0.004));
        m.Add(start + k, static_cast<float>(std::exp(-t / 0.045)) * (1.5f * band) + 1.0f * crack + 0.4f * tone);
    }
}

void Hat(Mixer& m, double t0, float gain, float pan) {
    const long start = m.Index(t0);
    const int n = static_cast<int>(0.06 * m.Rate());
    Random noise(static_cast<uint32_t>(start) * 69069u + 3u);
    float previous = 0.0f;
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        const float white = noise.Signed();
        const float high = white - previous;
        previous = white;
        m.Add(start + k, gain * high * static_cast<float>(std::exp(-t / 0.012)), pan);
    }
}

// A filtered saw with a soft attack.
void BassNote(Mixer& m, double t0, double length, double freq) {
    const long start = m.Index(t0);
    const int n = static_cast<int>((length + 0.05) * m.Rate());
    double phase = 0.0;
    float low = 0.0f;
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        phase += freq / m.Rate();
        const float saw = static_cast<float>(2.0 * (phase - std::floor(phase)) - 1.0);
        low += 0.08f * (saw - low);
        const double env = std::min(1.0, t / 0.008) * (t < length ? 0.6 + 0.4 * std::exp(-t / 0.1)
                                                                 : 0.6 * std::exp(-(t - length) / 0.015));
        m.Add(start + k, 0.24f * low * static_cast<float>(env));
    }
}

void Pluck(Mixer& m, double t0, double freq, float gain, float pan) {
    const long start = m.Index(t0);
    const int n = static_cast<int>(0.6 * m.Rate());
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        const double s = std::sin(kTwoPi * freq * t) + 0.3 * std::sin(kTwoPi * 2.0 * freq * t) * std::exp(-t / 0.05);
        m.Add(start + k, gain * static_cast<float>(s * std::min(1.0, t / 0.004) * std::exp(-t / 0.18)), pan);
    }
}

// Three detuned saws per chord tone, fading in and out around the bar.
void PadChord(Mixer& m, double t0, double t1, const double tones[3], float gain) {
    const double attack = 0.25, release = 0.35;
    const long start = m.Index(t0);
    const int n = static_cast<int>((t1 - t0 + release) * m.Rate());
    double phases[9] = {0.1, 0.4, 0.7, 0.2, 0.5, 0.8, 0.3, 0.6, 0.9};
    float low[2] = {0.0f, 0.0f};
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / m.Rate();
        float sum[2] = {0.0f, 0.0f};
        for (int v = 0; v < 9; ++v) {
            const double detune = 1.0 + (v % 3 - 1) * 0.004;
            phases[v] += tones[v / 3] * detune / m.Rate();
            sum[v % 2] += static_cast<float>(2.0 * (phases[v] - std::floor(phases[v])) - 1.0);
        }
        const double env = std::min(1.0, t / attack) * (t < t1 - t0 ? 1.0 : std::max(0.0, 1.0 - (t - (t1 - t0)) / release));
        for (int c = 0; c < 2; ++c) low[c] += 0.05f * (sum[c] - low[c]);
        m.Add(start + k, gain * low[0] * static_cast<float>(env), -0.6f);
        m.Add(start + k, gain * low[1] * static_cast<float>(env), 0.6f);
    }
}

// Noise through a rising low-pass, swelling into the next drum run.
void Riser(Mixer& m, double t0, double t1) {
    const long start = m.Index(t0);
    const int n = static_cast<int>((t1 - t0) * m.Rate());
    Random noise(static_cast<uint32_t>(start) + 99u);
    float low = 0.0f;
    for (int k = 0; k < n; ++k) {
        const float p = static_cast<float>(k) / n;
        low += (0.01f + 0.4f * p * p) * (noise.Signed() - low);
        m.Add(start + k, 0.25f * p * p * low, std::sin(p * 20.0f) * 0.5f);
    }
}

void Normalise(StereoTrack& track, float peakTarget) {
    float peak = 1e-6f;
    for (float v : track.left) peak = std::max(peak, std::fabs(v));
    for (float v : track.right) peak = std::max(peak, std::fabs(v));
    const float gain = peakTarget / peak;
    for (float& v : track.left) v *= gain;
    for (float& v : track.right) v *= gain;
}

}  // namespace

StereoTrack SynthesiseTrack() {
    StereoTrack track;
    const size_t length = static_cast<size_t>(MusicScore::kLength * track.sampleRate);
    track.left.assign(length, 0.0f);
    track.right.assign(length, 0.0f);
    Mixer m(track);

    const std::vector<double> grid = MusicScore::HalfBarGrid();
    for (size_t i = 0; i + 1 < grid.size(); i += 2) {
        const int bar = static_cast<int>(i / 2);
        double tones[3], bassFreq;
        MusicScore::Chord(bar, tones, bassFreq);
        const double barStart = grid[i], barEnd = grid[i + 1 < grid.size() - 1 ? i + 2 : i + 1];
        PadChord(m, barStart, barEnd, tones, 0.035f);
        const bool drums = MusicScore::InDrumRun(barStart);
        for (size_t h = i; h < i + 2 && h + 1 < grid.size(); ++h) {
            for (int q = 0; q < 2; ++q) {
                const double at = MusicScore::Subdivision(grid, h, q, 2);
                const double len = MusicScore::Subdivision(grid, h, q + 1, 2) - at - 0.03;
                if (drums || barStart > 160.0) BassNote(m, at, len, bassFreq * (q == 1 && (h % 2) ? 2.0 : 1.0));
            }
            for (int s = 0; s < 4; ++s) {
                const double at = MusicScore::Subdivision(grid, h, s, 4);
                if (drums) Hat(m, at, s % 2 ? 0.10f : 0.16f, 0.3f);
                // Arpeggios where the drums rest.
                if (!drums && at > 4.0) Pluck(m, at, tones[(s + h) % 3] * 2.0, 0.10f, s % 2 ? -0.4f : 0.4f);
            }
        }
    }
    for (int i = 0; i < kBassCount; ++i) Kick(m, bass[i]);
    for (int i = 0; i < kSnareCount; ++i) Snare(m, snare[i]);
    Riser(m, 25.5, 29.45);
    Riser(m, 53.2, 55.28);
    Riser(m, 100.5, 104.72);
    Riser(m, 136.0, 139.75);

    // Fade in from silence, and out over the last three seconds.
    for (size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / track.sampleRate;
        const float g = static_cast<float>(std::min(1.0, t / 2.0) * (t > 182.0 ? (MusicScore::kLength - t) / 3.0 : 1.0));
        track.left[i] *= g;
        track.right[i] *= g;
    }
    Normalise(track, 0.89f);
    return track;
}
