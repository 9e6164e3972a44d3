// Diagnostics of the demo runtime. Standard output carries only the fixed
// lines (progress, GL errors, statistics); everything else, like the
// compiler logs, goes to standard error.
#pragma once

// One line to standard error; a newline is added.
void DemoLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints " glError: 0x%4X> tag" on standard output when GL reports an error.
void CheckGLError(const char* tag);
