// How many threads Mesa's software rasteriser shades with.
#pragma once

// One worker more than the machine has cores, unless the user set
// LP_NUM_THREADS: with a worker a core, the show's own thread (moving
// particles, streaming vertices, submitting draws) takes a core from them
// while they shade; with one more, they keep every core busy. On 2 cores,
// interleaved runs gave every scene a lower 99th percentile at scale 2 (the
// particle figure 17.5 to 14.7 ms, the tunnel 17.1 to 12.5 ms). Drivers
// other than llvmpipe ignore the variable. Before the first GL context.
void SpareRasteriserThread();
// The count it chooses for a machine of that many cores.
int RasteriserThreadsFor(long cores);
