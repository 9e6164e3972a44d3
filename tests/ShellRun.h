// Runs a shell command line as a user would and collects what it says.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "TempTree.h"

struct ProgramRun {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

inline std::string ReadAll(FILE* file) {
    std::string text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

// A shell command line; its standard error is collected apart.
inline ProgramRun RunShell(const std::string& commandLine) {
    ProgramRun run;
    TempTree scratch;
    const std::string errPath = scratch.Path() + "/stderr";
    FILE* pipe = popen(("{ " + commandLine + "; } 2>" + errPath).c_str(), "r");
    if (!pipe) return run;
    run.out = ReadAll(pipe);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = fopen(errPath.c_str(), "r")) {
        run.err = ReadAll(err);
        fclose(err);
    }
    return run;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
