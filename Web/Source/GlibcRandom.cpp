#include "GlibcRandom.h"

#include <cstdint>
#include <cstring>

namespace GlibcRandom {

namespace {

// r[i] = r[i - 31] + r[i - 3], kept as a ring of the last 34 values.
constexpr int kLag = 34;
uint32_t gRing[kLag];
int gNext = 0;
bool gSeeded = false;

}  // namespace

void Seed(unsigned int seed) {
    int32_t r[kLag];
    r[0] = static_cast<int32_t>(seed == 0 ? 1 : seed);
    // The seeding steps multiply by 16807 modulo 2^31 - 1, with a signed state.
    for (int i = 1; i < 31; ++i) {
        const int64_t next = (16807LL * r[i - 1]) % 2147483647LL;
        r[i] = static_cast<int32_t>(next < 0 ? next + 2147483647LL : next);
    }
    for (int i = 31; i < kLag; ++i) r[i] = r[i - 31];
    for (int i = 0; i < kLag; ++i) gRing[i] = static_cast<uint32_t>(r[i]);
    gNext = 0;
    gSeeded = true;
    // The first 310 values of the feedback are thrown away.
    for (int i = kLag; i < 344; ++i) Next();
}

int Next() {
    if (!gSeeded) Seed(1);
    // gNext holds the oldest entry, r[i - 34]; r[i - 31] and r[i - 3] follow it.
    const uint32_t value = gRing[(gNext + 3) % kLag] + gRing[(gNext + 31) % kLag];
    gRing[gNext] = value;
    gNext = (gNext + 1) % kLag;
    return static_cast<int>(value >> 1);
}

void Keep(unsigned char state[kStateBytes]) {
    const int32_t position[2] = {gNext, gSeeded ? 1 : 0};
    memcpy(state, gRing, sizeof gRing);
    memcpy(state + sizeof gRing, position, sizeof position);
}

void Restore(const unsigned char state[kStateBytes]) {
    int32_t position[2];
    memcpy(gRing, state, sizeof gRing);
    memcpy(position, state + sizeof gRing, sizeof position);
    gNext = position[0] % kLag;
    gSeeded = position[1] != 0;
}

}  // namespace GlibcRandom
