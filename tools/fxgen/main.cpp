// Writes the show's generated data:
//   fxgen BUNDLE_DIR                 the data tree and the music
//   fxgen --overlay-source FILE      the overlay's drawings as C++ source
//   fxgen --icons DIR NAME           the application's icon, DIR/NxN/apps/NAME.png
// Everything is generated from code and fixed seeds, so every build makes
// the same files.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Writers.h"

namespace {

void WriteDataTree(const std::string& bundle) {
    const std::string fxData = bundle + "/FxData";
    mkdir(bundle.c_str(), 0755);
    mkdir(fxData.c_str(), 0755);
    mkdir((fxData + "/Common").c_str(), 0755);
    WriteLoadingPicture(fxData);
    WriteScene1(fxData);
    WriteParticleGirl(fxData);
    WriteCrystalGrowth(fxData);
    WriteManetjakt(fxData);
    WriteRobot(fxData);
    WriteTunnel(fxData);
    WriteSawblade(fxData);
    WriteMusic(bundle);
}

}  // namespace

int main(int argc, char** argv) {
    const bool overlay = argc == 3 && strcmp(argv[1], "--overlay-source") == 0;
    const bool icons = argc == 4 && strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !overlay && !icons) {
        fprintf(stderr, "usage: fxgen BUNDLE_DIR\n       fxgen --overlay-source FILE\n       fxgen --icons DIR NAME\n");
        return 2;
    }
    try {
        if (overlay) WriteOverlaySource(argv[2]);
        else if (icons) WriteIcons(argv[2], argv[3]);
        else WriteDataTree(argv[1]);
    } catch (const std::exception& e) {
        fprintf(stderr, "fxgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
