// GL ES extension entry points, which the GLES library does not export:
// looked up through EGL, which the platform layer owns.
#pragma once

void* GLProcAddress(const char* name);
