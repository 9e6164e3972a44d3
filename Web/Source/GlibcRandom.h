// The GNU C library's rand() sequence (its default additive feedback
// generator), so that the page draws the same random numbers as the Linux
// program and plays the same frames; emscripten's C library has another.
#pragma once

namespace GlibcRandom {

void Seed(unsigned int seed);
// 0 to 2^31 - 1, as glibc's rand() after srand(seed) (seed 1 unless seeded).
int Next();
// The generator's whole state, for a seek to keep and put back.
inline constexpr int kStateBytes = 34 * 4 + 2 * 4;
void Keep(unsigned char state[kStateBytes]);
void Restore(const unsigned char state[kStateBytes]);

}  // namespace GlibcRandom
