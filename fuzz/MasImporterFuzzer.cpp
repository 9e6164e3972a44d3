// libFuzzer target: any bytes as a MAS file, imported, prepared and animated.
// Only BS::Error may come out; anything else (a crash, a sanitizer report, a
// hang) is a finding. Meshes own render lists, which need the GL context.
#include <cstddef>
#include <cstdint>

#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzReady()) return 0;
    B3D_World world;
    DAS scene(&world);
    try {
        DAS_MAS_Importer importer(&scene, nullptr);
        importer.ImportBytes(reinterpret_cast<const char*>(data), size, "/nonexistent/");
        scene.SetLinkByName(true);
        scene.Prepare();
        scene.Animate(0.5f);
        scene.Animate(1e9f);
    } catch (const BS::Error&) {
    }
    return 0;
}
