#include "RasteriserThreads.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

int RasteriserThreadsFor(long cores) { return cores < 1 ? 1 : static_cast<int>(cores) + 1; }

void SpareRasteriserThread() {
    // setenv's last argument 0 keeps a count the user set.
    setenv("LP_NUM_THREADS", std::to_string(RasteriserThreadsFor(sysconf(_SC_NPROCESSORS_ONLN))).c_str(), 0);
}
