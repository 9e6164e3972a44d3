// libFuzzer target: any bytes as a PNG picture, decoded, uploaded as both
// kinds of texture and sampled on the CPU.
#include <string>

#include "DemoSys/Riraru3Z/SimpleMaterial.h"
#include "FuzzSupport.h"
#include "Linux/Source/PngFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzReady()) return 0;
    static unsigned long run = 0;
    // A few names in turn, taken out of the cache each time, keep memory flat.
    const std::string path = FuzzFile(("picture" + std::to_string(run++ % 16) + ".png").c_str(), data, size);
    if (SimpleMaterial::mTextureNames) SimpleMaterial::mTextureNames->erase(path);
    SimpleMaterial material;
    material.LoadTexture(path);
    float pixel[4];
    material.GetPixel(0.5f, 0.5f, pixel);
    PngImage image;
    std::string error;
    ReadPng(path, image, error);
    return 0;
}
