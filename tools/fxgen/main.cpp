// Writes the show's data tree into an application bundle:
//   fxgen BUNDLE_DIR
// Everything is generated from code and fixed seeds, so every build makes
// the same files.
#include <sys/stat.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "Writers.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fxgen BUNDLE_DIR\n");
        return 2;
    }
    const std::string bundle = argv[1];
    const std::string fxData = bundle + "/FxData";
    mkdir(bundle.c_str(), 0755);
    mkdir(fxData.c_str(), 0755);
    try {
        WriteLoadingPicture(fxData);
        WriteMusic(bundle);
    } catch (const std::exception& e) {
        fprintf(stderr, "fxgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
