// libFuzzer target: any bytes as a MAS file, imported, prepared and animated.
// Only BS::Error may come out; anything else (a crash, a sanitizer report,
// a hang) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "B3D/Source/B3D_World.h"
#include "BS/Export/BS_Error.h"
#include "DAS/Source/DAS.h"
#include "DAS/Source/DAS_MAS_Importer.h"
#include "DemoSys/Bundle.h"
#include "DemoSys/GLView.h"
#include "Linux/Source/DisplaySurface.h"

namespace {

// Meshes own render lists, which need a GL context; the importer's chatter
// would only slow the fuzzer down.
bool Ready() {
    static DisplaySurface* surface = CreateHeadlessSurface().release();
    static GLView view;
    if (!surface) return false;
    Bundle::SetPath(KESTREL_BUNDLE);
    view.setContext(surface);
    view.setFramebuffer();
    if (!freopen("/dev/null", "w", stdout)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Ready();
    if (!ready) return 0;
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
