#include "GLProcAddress.h"

#include <EGL/egl.h>

void* GLProcAddress(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }
