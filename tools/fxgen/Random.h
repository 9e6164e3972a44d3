// A small deterministic generator, so generated data is the same on every build.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(uint32_t seed) : mState(seed ? seed : 1u) {}
    uint32_t Next() {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return mState;
    }
    // Uniform in [0, 1).
    float Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }
    // Uniform in [-1, 1).
    float Signed() { return Unit() * 2.0f - 1.0f; }

private:
    uint32_t mState;
};
