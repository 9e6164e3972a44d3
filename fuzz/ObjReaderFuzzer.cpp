// libFuzzer target: any bytes as an OBJ file, and the same bytes as the MTL
// file it may name; loaded under a new name each run so the reader's model
// cache does not answer instead.
#include <string>

#include "DemoSys/Bundle.h"
#include "DemoSys/Riraru3Z/ObjReader.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzReady()) return 0;
    static unsigned long run = 0;
    FuzzFile("fuzz.mtl", data, size);
    const std::string name = "model" + std::to_string(run++ % 64) + ".obj";
    FuzzFile(name.c_str(), data, size);
    ObjReader& reader = *GetObjectReader();
    reader.mModels.erase(FuzzDirectory() + name);
    reader.LoadObj(Bundle::Path(), FuzzDirectory(), name, 1.0f, run % 2 ? 1u : 4u);
    return 0;
}
