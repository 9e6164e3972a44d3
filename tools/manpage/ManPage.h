// Turns a program's --help text into the parts of its manual page, so that
// the two cannot disagree. The text's shape: "usage: NAME ARGS..." with
// continuation lines, then option lines "  -o, --option VALUE   what it does"
// (the description after two or more spaces, continued on lines indented
// further), then paragraphs that start at the margin.
#pragma once

#include <string>

struct ManPageParts {
    std::string synopsis;  // roff lines for SYNOPSIS
    std::string options;   // roff lines for OPTIONS, the closing paragraphs included
};

// Answers false, with error set, when the text has no usage line or no option.
bool ManPageFromHelp(const std::string& help, ManPageParts& parts, std::string& error);

// The template with its comment lines '.\" synopsis from --help' and
// '.\" options from --help' replaced.
std::string FillManPage(const std::string& manTemplate, const ManPageParts& parts);
