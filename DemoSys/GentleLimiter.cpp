#include "GentleLimiter.h"

namespace Gentle {

void Limiter::Follow(const float level[kCells], float gain[kCells]) {
    for (int row = primed ? next : 0; row < (primed ? next + 1 : kMemory); ++row)
        for (int c = 0; c < kCells; ++c) levels[row][c] = level[c];
    primed = true;
    next = (next + 1) % kMemory;
    for (int c = 0; c < kCells; ++c) {
        float darkest = level[c];
        for (int row = 0; row < kMemory; ++row)
            if (levels[row][c] < darkest) darkest = levels[row][c];
        const float most = darkest + kLift;
        gain[c] = level[c] > most ? most / level[c] : 1.0f;
    }
}

}  // namespace Gentle
