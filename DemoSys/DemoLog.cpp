#include "DemoLog.h"

#include <GLES2/gl2.h>

#include <cstdarg>
#include <cstdio>

void DemoLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
}

void CheckGLError(const char* tag) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) printf(" glError: 0x%4X> %s\n", error, tag);
}
