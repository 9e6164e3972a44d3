#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>

#include "DemoSys/Bundle.h"
#include "DemoSys/GLView.h"
#include "Linux/Source/DisplaySurface.h"

GLView& BenchScreen() {
    static DisplaySurface* surface = CreateHeadlessSurface().release();
    static GLView view;
    static bool ready = false;
    if (!ready) {
        if (!surface) {
            fprintf(stderr, "no headless OpenGL ES 2.0 context\n");
            exit(1);
        }
        Bundle::SetPath(KESTREL_BUNDLE);
        view.setContext(surface);
        view.setFramebuffer();
        ready = true;
    }
    return view;
}
