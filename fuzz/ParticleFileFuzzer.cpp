// libFuzzer target: any bytes as a particle file and as a force-field file;
// the pool is then updated, which reads the field at the particles' places.
#include <cstdio>
#include <vector>

#include "DemoSys/Riraru3Z/ParticleEngine.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzReady()) return 0;
    static ParticleEngine* engine = new ParticleEngine(64, "/FxData/Common/particle.png");
    FILE* particles = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    engine->LoadSystem(particles);
    if (particles) fclose(particles);
    std::vector<float> cells;
    if (ReadForceFieldFile(FuzzFile("forcefield.raw", data, size), cells)) engine->SetForceField(cells.data());
    BS::Matrix44 identity;
    engine->Update(&identity, 0.016666668f, size % 3 == 0 ? 20.0f : 0.0f);
    return 0;
}
