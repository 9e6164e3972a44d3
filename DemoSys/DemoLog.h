// Diagnostics of the demo runtime. Standard output carries only the fixed
// lines (progress, GL errors, statistics); everything else, like the
// compiler logs, goes through one sink, standard error unless the host
// names another (Host::SetLogSink).
#pragma once

// One line to the log sink, which adds the line end: something missing,
// broken or refused.
void DemoLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for a line of ordinary progress, which a host may keep apart
// from the problems.
void DemoNote(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints " glError: 0x%4X> tag" on standard output when GL reports an error.
void CheckGLError(const char* tag);
