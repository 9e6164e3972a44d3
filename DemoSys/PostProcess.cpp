#include "PostProcess.h"

namespace {

constexpr float kFlashDecayRate = 5.0f;
constexpr float kShakeDecayRate = 100.0f;
constexpr float kBassFlash = 0.5235988f;  // pi / 6
constexpr double kSnareTurn = 0.4712389;   // 0.15 pi
constexpr float kShake = 25.0f;

void Decay(float& value, float amount) {
    if (value > 0.0f) value -= amount;
    if (value <= 0.0f) value = 0.0f;
}

}  // namespace

void PostProcessState::Update(float step, BeatEvents beats, int (*random)()) {
    Decay(lPostFladder[0], kFlashDecayRate * step);
    Decay(lPostFladder[3], kShakeDecayRate * step);
    auto kick = [&] { lPostFladder[3] = (random() & 1) ? kShake : -kShake; };
    if (beats.snare) {
        ++mBeatCounter;
        lPostFladder[2] = static_cast<float>(static_cast<double>(lPostFladder[2]) + kSnareTurn);
    }
    if (beats.bass) {
        lPostFladder[0] = kBassFlash;
        ++mBeatCounter;
        kick();
    } else if (beats.snare && mBeatCounter % 4 == 2) {
        kick();
    }
}

void FadeColour(double t, float colour[4]) {
    double c = 1.0;
    // A fade-in's first frame is its darkest, not a full-bright frame of
    // the new scene before it.
    if (t >= 82.0 && t < 82.5) c = 2.0 * (t - 82.0);
    else if (t > 104.0 && t < 104.5) c = 2.0 * (104.5 - t);
    else if (t >= 127.5 && t < 128.0) c = 2.0 * (t - 127.5);
    else if (t > static_cast<double>(138.9f) && t < kOverlayEnd) c = 2.0 * (kOverlayEnd - t);
    else if (t > 182.0 && t < kShowEnd) c = (kShowEnd - t) / 3.0;
    colour[0] = colour[1] = colour[2] = static_cast<float>(c);
    colour[3] = 1.0f;
}
