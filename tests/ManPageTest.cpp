// The manual page's synopsis and options made from a --help text.
#include <gtest/gtest.h>

#include <string>

#include "tools/manpage/ManPage.h"

namespace {

const char* const kHelp =
    "usage: tool [--quiet] [--size N] [--out DIR]\n"
    "            [--help]\n"
    "  --quiet        say nothing\n"
    "  --size N       the size, 1 to 8; a long line that goes on\n"
    "                 below, with a \\ in it\n"
    "  -h, --help     show this text\n"
    "Values may be written '--size=-3'.\n"
    ".Dots start this line.\n";

}  // namespace

TEST(ManPage, TheUsageBecomesTheSynopsisAndEachOptionATaggedParagraph) {
    ManPageParts parts;
    std::string error;
    ASSERT_TRUE(ManPageFromHelp(kHelp, parts, error)) << error;
    EXPECT_EQ(parts.synopsis,
              ".B tool\n"
              "[\\fB\\-\\-quiet\\fR] [\\fB\\-\\-size\\fR \\fIN\\fR] [\\fB\\-\\-out\\fR \\fIDIR\\fR] "
              "[\\fB\\-\\-help\\fR]\n");
    EXPECT_EQ(parts.options,
              ".TP\n\\fB\\-\\-quiet\\fR\nsay nothing\n"
              ".TP\n\\fB\\-\\-size\\fR \\fIN\\fR\nthe size, 1 to 8; a long line that goes on\n"
              "below, with a \\e in it\n"
              ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nshow this text\n"
              ".PP\nValues may be written '\\-\\-size=\\-3'.\n"
              "\\&.Dots start this line.\n");
}

TEST(ManPage, ATextWithoutUsageOrOptionsIsRefused) {
    for (const char* help : {"tool: does things\n  --x  y\n", "usage: tool\nNothing to choose.\n"}) {
        ManPageParts parts;
        std::string error;
        EXPECT_FALSE(ManPageFromHelp(help, parts, error)) << help;
        EXPECT_NE(error, "") << help;
    }
}

TEST(ManPage, TheMarkedLinesOfTheTemplateAreReplaced) {
    const ManPageParts parts{".B tool\n", ".TP\nx\n"};
    EXPECT_EQ(FillManPage(".TH TOOL 1\n.SH SYNOPSIS\n.\\\" synopsis from --help\n.SH OPTIONS\n"
                          ".\\\" options from --help\n.SH FILES\n",
                          parts),
              ".TH TOOL 1\n.SH SYNOPSIS\n.B tool\n.SH OPTIONS\n.TP\nx\n.SH FILES\n");
}
