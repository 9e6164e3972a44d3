#include "DemoLog.h"

#include <GLES2/gl2.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "Host.h"

namespace {

void WriteToStandardError(Host::LogLevel, const char* line) {
    fputs(line, stderr);
    fputc('\n', stderr);
}

Host::LogSink gSink = WriteToStandardError;

void Write(Host::LogLevel level, const char* format, va_list args) {
    // Most lines fit on the stack; compiler logs may not.
    char line[512];
    va_list again;
    va_copy(again, args);
    const int length = vsnprintf(line, sizeof line, format, args);
    if (length >= 0 && static_cast<size_t>(length) >= sizeof line) {
        std::vector<char> longLine(static_cast<size_t>(length) + 1);
        vsnprintf(longLine.data(), longLine.size(), format, again);
        gSink(level, longLine.data());
    } else if (length >= 0) {
        gSink(level, line);
    }
    va_end(again);
}

}  // namespace

void Host::SetLogSink(LogSink sink) { gSink = sink ? sink : WriteToStandardError; }

void DemoLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(Host::LogLevel::problem, format, args);
    va_end(args);
}

void DemoNote(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(Host::LogLevel::note, format, args);
    va_end(args);
}

void CheckGLError(const char* tag) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) printf(" glError: 0x%4X> %s\n", error, tag);
}
