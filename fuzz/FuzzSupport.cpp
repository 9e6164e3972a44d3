#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "DemoSys/Bundle.h"
#include "DemoSys/GLView.h"
#include "Linux/Source/DisplaySurface.h"

bool FuzzReady() {
    static const bool ready = [] {
        static DisplaySurface* surface = CreateHeadlessSurface().release();
        static GLView view;
        if (!surface) return false;
        Bundle::SetPath(KESTREL_BUNDLE);
        view.setContext(surface);
        view.setFramebuffer();
        return freopen("/dev/null", "w", stdout) != nullptr;
    }();
    return ready;
}

const std::string& FuzzDirectory() {
    static const std::string directory = [] {
        char pattern[] = "/tmp/kestrel-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp") + "/";
    }();
    return directory;
}

std::string FuzzFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = FuzzDirectory() + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (file) {
        fwrite(data, 1, size, file);
        fclose(file);
    }
    return path;
}
