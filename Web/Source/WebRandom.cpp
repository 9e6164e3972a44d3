// The C library's rand() and srand() for the page, replacing emscripten's:
// the scenes draw from them, and glibc's sequence keeps the page's frames
// those of the Linux program.
#include <cstdlib>

#include "GlibcRandom.h"

extern "C" {

int rand(void) { return GlibcRandom::Next(); }

void srand(unsigned int seed) { GlibcRandom::Seed(seed); }

}
