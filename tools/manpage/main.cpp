// Writes a program's manual page from a template and the program's own
// --help text:
//   manpage TEMPLATE OUT PROGRAM
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "ManPage.h"

namespace {

bool ReadCommand(const std::string& command, std::string& text) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    return pclose(pipe) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: manpage TEMPLATE OUT PROGRAM\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream manTemplate;
    manTemplate << in.rdbuf();
    std::string help;
    if (!in || !ReadCommand("'" + std::string(argv[3]) + "' --help", help)) {
        fprintf(stderr, "manpage: cannot read %s or the help of %s\n", argv[1], argv[3]);
        return 1;
    }
    ManPageParts parts;
    std::string error;
    if (!ManPageFromHelp(help, parts, error)) {
        fprintf(stderr, "manpage: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(argv[2]);
    out << FillManPage(manTemplate.str(), parts);
    if (!out.flush()) {
        fprintf(stderr, "manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
