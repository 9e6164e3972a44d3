// Reading a scene-file line at a cursor: what each read answers, where it leaves the cursor, and case folding.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "DAS/Source/DAS_MAS_Lexer.h"

namespace {

TEST(MasLexer, NumbersAreReadUntilTheLineRunsOut) {
    char line[] = "  *MESH_VERTEX\t12:  -3.25 7e2 x";
    MAS::Cursor c(line);
    char token[MAS::kTokenSize];
    ASSERT_TRUE(c.GetToken(token, sizeof token));
    EXPECT_STREQ(token, "*MESH_VERTEX");
    int i = 0;
    ASSERT_TRUE(c.GetInteger(&i));
    EXPECT_EQ(i, 12);
    float f[3] = {9, 9, 9};
    EXPECT_EQ(c.GetFloats(f, 3), 3);
    EXPECT_FLOAT_EQ(f[0], -3.25f);
    EXPECT_FLOAT_EQ(f[1], 700.0f);
    EXPECT_FLOAT_EQ(f[2], 0.0f);  // atof of a word
    i = 41;
    EXPECT_FALSE(c.GetInteger(&i));
    EXPECT_EQ(i, 41);
    EXPECT_FALSE(c.GetFloat(&f[0]));
    EXPECT_FLOAT_EQ(f[0], -3.25f);
    EXPECT_EQ(c.GetFloats(f, 2), 0);
    EXPECT_EQ(c.NextBrace(), MAS::Cursor::Brace::missing);
}

TEST(MasLexer, IntegersClampAndDropOneColon) {
    char line[] = "99999999999 -99999999999 7: 8";
    MAS::Cursor c(line);
    std::vector<int> v(4);
    for (int& i : v) ASSERT_TRUE(c.GetInteger(&i));
    EXPECT_EQ(v, (std::vector<int>{2147483647, -2147483647 - 1, 7, 8}));
}

TEST(MasLexer, ATokenTooLongForItsBufferLeavesTheCursor) {
    char line[] = "  abcdef gh";
    MAS::Cursor c(line);
    char small[7];  // two blanks and six letters do not fit with the end
    EXPECT_FALSE(c.GetToken(small, sizeof small));
    char token[MAS::kTokenSize];
    ASSERT_TRUE(c.GetToken(token, sizeof token));
    EXPECT_STREQ(token, "abcdef");
    char exact[5];  // one blank, two letters and the end
    ASSERT_TRUE(c.GetToken(exact, sizeof exact));
    EXPECT_STREQ(exact, "gh");
}

TEST(MasLexer, StringsQuotedOrBare) {
    char line[] = " \"two words\" \"\" bare \"open";
    MAS::Cursor c(line);
    char text[MAS::kTokenSize];
    for (const char* expected : {"two words", "", "bare", "open"}) {  // an unclosed quote runs to the line's end
        ASSERT_TRUE(c.GetString(text, sizeof text)) << expected;
        EXPECT_STREQ(text, expected);
    }
    EXPECT_FALSE(c.GetString(text, sizeof text));

    char quoted[] = "\"abcdef\"";
    MAS::Cursor tight(quoted);
    char small[6];
    EXPECT_FALSE(tight.GetString(small, sizeof small));
}

TEST(MasLexer, BracesAreTheirOwnToken) {
    char line[] = "{ {x";
    MAS::Cursor c(line);
    EXPECT_EQ(c.NextBrace(), MAS::Cursor::Brace::open);
    EXPECT_EQ(c.NextBrace(), MAS::Cursor::Brace::other);
    EXPECT_EQ(c.NextBrace(), MAS::Cursor::Brace::missing);
}

TEST(MasLexer, KeywordsCompareUnderTheFormatsFolding) {
    const std::tuple<const char*, const char*, bool> pairs[] = {
        {"*Mesh_Vertex_List", "*MESH_VERTEX_LIST", true}, {"*MESH", "*MESH_", false}, {"*MESH_", "*MESH", false},
        {"*MASH", "*MESH", false}, {"Bj\xC3\xB6rk \xC3\xA5\xC3\xA4", "BJ\xC3\x96RK \xC3\x85\xC3\x84", true}};
    for (const auto& [a, b, same] : pairs) EXPECT_EQ(MAS::Compare(a, b), same) << a << " / " << b;
    EXPECT_EQ(std::string({MAS::mytoupper('z'), MAS::mytoupper('{'), MAS::mytoupper('\0')}), std::string("Z{", 3));
    EXPECT_TRUE(MAS::EndsWith("robot.Bip01", ".BIP01"));
    EXPECT_FALSE(MAS::EndsWith(".bip01", ".BIP01"));  // the suffix alone is not enough
    EXPECT_FALSE(MAS::EndsWith("robot.bip0", ".BIP01"));
}

}  // namespace
